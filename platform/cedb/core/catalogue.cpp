
#include "platform/cedb/core/catalogue.h"

namespace cedb {

void EncodeDatabase(uint32_t oid, const DatabaseLayout& layout, std::string* out)
{
    PutU32(out, oid);
    PutU32(out, layout.type);
    PutU32(out, layout.flags);
    PutU16(out, static_cast<uint16_t>(layout.name.size()));
    for (char16_t c : layout.name) PutU16(out, static_cast<uint16_t>(c));
    out->push_back(static_cast<char>(layout.orders.size()));
    for (const SortOrder& o : layout.orders) {
        out->push_back(static_cast<char>(o.size()));
        for (const SortKey& k : o) {
            PutU32(out, k.propid);
            PutU32(out, k.flags);
        }
    }
}

bool DecodeDatabase(const char* p, size_t n, uint32_t* oid, DatabaseLayout* layout)
{
    ByteReader r(p, n);
    uint16_t len;
    if (!r.U32(oid) || !r.U32(&layout->type) || !r.U32(&layout->flags) || !r.U16(&len)) return false;
    layout->name.clear();
    for (uint16_t i = 0; i < len; ++i) {
        uint16_t c;
        if (!r.U16(&c)) return false;
        layout->name.push_back(static_cast<char16_t>(c));
    }
    uint8_t norders;
    if (!r.U8(&norders)) return false;
    layout->orders.assign(norders, SortOrder());
    for (SortOrder& o : layout->orders) {
        uint8_t nkeys;
        if (!r.U8(&nkeys)) return false;
        o.resize(nkeys);
        for (SortKey& k : o)
            if (!r.U32(&k.propid) || !r.U32(&k.flags)) return false;
    }
    return r.AtEnd();
}

Status ValidateLayout(const DatabaseLayout& layout)
{
    if (layout.name.empty() || layout.name.size() > kMaxNameLength)
        return Status::Error(kErrInvalidParameter, "database name must have 1 to 31 characters");
    if (layout.name.find(u'\0') != std::u16string::npos)
        return Status::Error(kErrInvalidParameter, "database name contains a null character");
    if (layout.orders.size() > kMaxSortOrders) return Status::Error(kErrInvalidParameter, "more than four sort orders");
    for (const SortOrder& o : layout.orders) {
        if (o.empty() || o.size() > kMaxSortKeys) return Status::Error(kErrInvalidParameter, "bad sort order");
        for (const SortKey& k : o) {
            if (!IsSortableType(TypeOf(k.propid)) ||
                (k.flags & ~uint32_t(kSortDescending | kSortCaseInsensitive | kSortUnknownFirst)))
                return Status::Error(kErrInvalidParameter, "bad sort key");
        }
    }
    return Status::Ok();
}

}  // namespace cedb
