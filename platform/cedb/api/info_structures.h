// The information structures: a database's description as CEDBASEINFO and
// CEDBASEINFOEX, and sort orders read from their sort specifications.
#pragma once
#include "platform/cedb/core/volume.h"
#include "platform/cedb/windbase.h"

namespace cedb {
namespace api {

void FillInfo(const Database& db, CEDBASEINFO* info);
void FillInfoEx(const Database& db, CEDBASEINFOEX* info);

// One sort order as the caller describes it; false when it has no or too many keys.
bool SortOrderFromDescription(const SORTORDERSPEC& order, SortOrder* keys);
bool SortOrderFromDescription(const SORTORDERSPECEX& order, SortOrder* keys);

}  // namespace api
}  // namespace cedb
