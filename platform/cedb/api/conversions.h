// Text and property values between the API's structures (WCHAR strings,
// CEPROPVAL) and the engine's (UTF-16 strings, Prop).
#pragma once
#include <cstddef>
#include <string>

#include "platform/cedb/core/property.h"
#include "platform/cedb/windbase.h"

namespace cedb {
namespace api {

// UTF-16 of a WCHAR string of at most `limit` characters; false if longer.
bool ToU16(LPCWSTR s, size_t limit, std::u16string* out);
// Cut to fit, always terminated.
void CopyToFixed(WCHAR* dst, size_t capacity, const std::u16string& src);
// A database name from a fixed 32-character field; false when it has no
// terminator or is too long.
bool NameFromFixed(const WCHAR* buf, std::u16string* name);

size_t Align8(size_t n);
// False for an unknown type or a value past the engine's limits.
bool ToProp(const CEPROPVAL& v, Prop* p);
// Bytes FromProp puts after the value array for this property.
size_t DataBytes(const Prop& p);
// Fills one value; variable data goes to *data, which then moves on.
void FromProp(const Prop& p, CEPROPVAL* v, BYTE** data);

}  // namespace api
}  // namespace cedb
