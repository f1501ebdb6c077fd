// The catalogue: each database's layout (name, type, flags, sort orders),
// the limits a layout must keep, and its create-database entry in the log.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/cedb/core/property.h"
#include "platform/cedb/core/status.h"

namespace cedb {

constexpr size_t kMaxNameLength = 31;
constexpr size_t kMaxSortOrders = 4;
constexpr size_t kMaxSortKeys = 4;

struct DatabaseLayout {
    std::u16string name;
    uint32_t type = 0;
    uint32_t flags = 0;
    std::vector<SortOrder> orders;
};

// The payload of a create-database entry: u32 oid, u32 type, u32 flags,
// u16 name length and the name's UTF-16 units, u8 order count, and per
// order u8 key count and (u32 propid, u32 flags) per key.
void EncodeDatabase(uint32_t oid, const DatabaseLayout& layout, std::string* out);
// False when the payload is not exactly one such entry.
bool DecodeDatabase(const char* p, size_t n, uint32_t* oid, DatabaseLayout* layout);

// kErrInvalidParameter with a reason when the layout breaks a limit.
Status ValidateLayout(const DatabaseLayout& layout);

}  // namespace cedb
