#include "platform/cedb/api/info_structures.h"

#include <cstring>

#include "platform/cedb/api/conversions.h"

namespace cedb {
namespace api {

namespace {

constexpr DWORD kSortFlagMask = CEDB_SORT_DESCENDING | CEDB_SORT_CASEINSENSITIVE | CEDB_SORT_UNKNOWNFIRST;

}  // namespace

void FillInfo(const Database& db, CEDBASEINFO* info)
{
    std::memset(info, 0, sizeof *info);
    info->dwFlags = CEDB_VALIDNAME | CEDB_VALIDTYPE | CEDB_VALIDSORTSPEC | CEDB_VALIDDBFLAGS |
                    (db.layout.flags & CEDB_NOCOMPRESS);
    CopyToFixed(info->szDbaseName, CEDB_MAXDBASENAMELEN, db.layout.name);
    info->dwDbaseType = db.layout.type;
    info->wNumRecords = static_cast<WORD>(db.count() > 0xFFFF ? 0xFFFF : db.count());
    info->wNumSortOrder = static_cast<WORD>(db.layout.orders.size());
    info->dwSize = static_cast<DWORD>(db.record_bytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : db.record_bytes);
    for (size_t i = 0; i < db.layout.orders.size() && i < CEDB_MAXSORTORDER; ++i) {
        info->rgSortSpecs[i].propid = db.layout.orders[i][0].propid;
        info->rgSortSpecs[i].dwFlags = db.layout.orders[i][0].flags;
    }
}

void FillInfoEx(const Database& db, CEDBASEINFOEX* info)
{
    std::memset(info, 0, sizeof *info);
    info->wVersion = CEDBASEINFOEX_VERSION;
    info->dwFlags = CEDB_VALIDNAME | CEDB_VALIDTYPE | CEDB_VALIDSORTSPEC | CEDB_VALIDDBFLAGS |
                    (db.layout.flags & CEDB_NOCOMPRESS);
    CopyToFixed(info->szDbaseName, CEDB_MAXDBASENAMELEN, db.layout.name);
    info->dwDbaseType = db.layout.type;
    info->dwNumRecords = static_cast<DWORD>(db.count());
    info->wNumSortOrder = static_cast<WORD>(db.layout.orders.size());
    info->dwSize = static_cast<DWORD>(db.record_bytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : db.record_bytes);
    for (size_t i = 0; i < db.layout.orders.size() && i < CEDB_MAXSORTORDER; ++i) {
        SORTORDERSPECEX& o = info->rgSortSpecs[i];
        o.wVersion = SORTORDERSPECEX_VERSION;
        const SortOrder& keys = db.layout.orders[i];
        o.wNumProps = static_cast<WORD>(keys.size() < CEDB_MAXSORTPROP ? keys.size() : CEDB_MAXSORTPROP);
        for (WORD k = 0; k < o.wNumProps; ++k) {
            o.rgPropID[k] = keys[k].propid;
            o.rgdwFlags[k] = keys[k].flags;
        }
    }
}

bool SortOrderFromDescription(const SORTORDERSPEC& order, SortOrder* keys)
{
    keys->push_back(SortKey{order.propid, order.dwFlags & kSortFlagMask});
    return true;
}

bool SortOrderFromDescription(const SORTORDERSPECEX& order, SortOrder* keys)
{
    if (order.wNumProps < 1 || order.wNumProps > CEDB_MAXSORTPROP) return false;
    for (WORD k = 0; k < order.wNumProps; ++k) keys->push_back(SortKey{order.rgPropID[k], order.rgdwFlags[k] & kSortFlagMask});
    return true;
}

}  // namespace api
}  // namespace cedb
