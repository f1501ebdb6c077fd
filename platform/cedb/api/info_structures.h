// The information structures: a database's description as CEDBASEINFO and
// CEDBASEINFOEX, and sort orders read from their sort specifications.
#pragma once
#include "platform/cedb/core/volume.h"
#include "platform/cedb/windbase.h"

namespace cedb {
namespace api {

void FillInfo(const Database& db, CEDBASEINFO* info);
void FillInfoEx(const Database& db, CEDBASEINFOEX* info);

// One sort order from a specification; false when it has no or too many keys.
bool SortOrderFromSpec(const SORTORDERSPEC& spec, SortOrder* keys);
bool SortOrderFromSpec(const SORTORDERSPECEX& spec, SortOrder* keys);

}  // namespace api
}  // namespace cedb
