#include "platform/cedb/core/property.h"

#include <algorithm>
#include <cstring>

namespace cedb {

bool IsKnownType(uint16_t t)
{
    switch (t) {
    case kTypeI2: case kTypeI4: case kTypeR8: case kTypeBool: case kTypeUI2:
    case kTypeUI4: case kTypeString: case kTypeFiletime: case kTypeBlob:
        return true;
    default:
        return false;
    }
}

bool IsSortableType(uint16_t t) { return IsKnownType(t) && t != kTypeBlob; }

char16_t FoldCase(char16_t c)
{
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
    if (c < 0xC0) return c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
        (c >= 0x410 && c <= 0x42F))
        return static_cast<char16_t>(c + 32);
    if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 80);
    if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 && c != 0x17F) {
        // Latin Extended-A pairs upper/lower case as even/odd, with a shift
        // of parity between U+0139 and U+0148 and from U+0179 on.
        bool odd_upper = (c >= 0x139 && c <= 0x148) || c >= 0x179;
        if (odd_upper ? (c & 1) : !(c & 1)) return static_cast<char16_t>(c + 1);
    }
    return c;
}

namespace {

std::u16string TextOf(const Prop& p) { return p.s; }
std::u16string TextOf(const PropRef& p)
{
    std::u16string s(p.len, u'\0');
    for (uint32_t j = 0; j < p.len; ++j) s[j] = static_cast<char16_t>(GetU16(p.bytes + 2 * j));
    return s;
}

template <class P>
KeyValue MakeKey(const P* p, const SortKey& key)
{
    KeyValue k;
    if (!p) return k;
    k.present = true;
    switch (TypeOf(key.propid)) {
    case kTypeR8: k.d = p->d; break;
    case kTypeString:
        k.s = Boxed<std::u16string>(TextOf(*p));
        if (key.flags & kSortCaseInsensitive)
            for (char16_t& c : *k.s.get()) c = FoldCase(c);
        break;
    default: k.i = p->i; break;
    }
    return k;
}

}  // namespace

KeyValue MakeKeyValue(const Prop* p, const SortKey& key) { return MakeKey(p, key); }

KeyValue MakeKeyValue(const PropRef* p, const SortKey& key) { return MakeKey(p, key); }

const Prop* FindProp(const std::vector<Prop>& props, uint32_t id)
{
    for (const Prop& p : props)
        if (p.id == id) return &p;
    return nullptr;
}

const PropRef* FindProp(const std::vector<PropRef>& props, uint32_t id)
{
    for (const PropRef& p : props)
        if (p.id == id) return &p;
    return nullptr;
}

void PutU16(std::string* out, uint16_t v)
{
    char b[2] = {static_cast<char>(v), static_cast<char>(v >> 8)};
    out->append(b, 2);
}

void PutU32(std::string* out, uint32_t v)
{
    char b[4];
    for (int i = 0; i < 4; ++i) b[i] = static_cast<char>(v >> (8 * i));
    out->append(b, 4);
}

void PutU64(std::string* out, uint64_t v)
{
    char b[8];
    for (int i = 0; i < 8; ++i) b[i] = static_cast<char>(v >> (8 * i));
    out->append(b, 8);
}

// The log stores little-endian; on such a host strings copy as they are.
constexpr bool kLittleEndian = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;

uint16_t GetU16(const char* p)
{
    const unsigned char* u = reinterpret_cast<const unsigned char*>(p);
    return static_cast<uint16_t>(u[0] | (u[1] << 8));
}

uint32_t GetU32(const char* p)
{
    const unsigned char* u = reinterpret_cast<const unsigned char*>(p);
    return static_cast<uint32_t>(u[0]) | (static_cast<uint32_t>(u[1]) << 8) | (static_cast<uint32_t>(u[2]) << 16) |
           (static_cast<uint32_t>(u[3]) << 24);
}

uint64_t GetU64(const char* p) { return GetU32(p) | (static_cast<uint64_t>(GetU32(p + 4)) << 32); }

bool ByteReader::U8(uint8_t* v)
{
    if (Left() < 1) return false;
    *v = static_cast<uint8_t>(*p_++);
    return true;
}

bool ByteReader::U16(uint16_t* v)
{
    if (Left() < 2) return false;
    *v = GetU16(p_);
    p_ += 2;
    return true;
}

bool ByteReader::U32(uint32_t* v)
{
    if (Left() < 4) return false;
    *v = GetU32(p_);
    p_ += 4;
    return true;
}

bool ByteReader::U64(uint64_t* v)
{
    if (Left() < 8) return false;
    *v = GetU64(p_);
    p_ += 8;
    return true;
}

bool ByteReader::Bytes(size_t n, const char** out)
{
    if (Left() < n) return false;
    *out = p_;
    p_ += n;
    return true;
}

void EncodeProps(const std::vector<Prop>& props, std::string* out)
{
    PutU16(out, static_cast<uint16_t>(props.size()));
    for (const Prop& p : props) {
        PutU32(out, p.id);
        switch (TypeOf(p.id)) {
        case kTypeI2: case kTypeUI2: PutU16(out, static_cast<uint16_t>(p.i)); break;
        case kTypeI4: case kTypeUI4: case kTypeBool: PutU32(out, static_cast<uint32_t>(p.i)); break;
        case kTypeFiletime: PutU64(out, static_cast<uint64_t>(p.i)); break;
        case kTypeR8: {
            uint64_t bits;
            std::memcpy(&bits, &p.d, 8);
            PutU64(out, bits);
            break;
        }
        case kTypeString: {
            PutU32(out, static_cast<uint32_t>(p.s.size()));
            size_t at = out->size();
            out->resize(at + 2 * p.s.size());
            char* d = &(*out)[at];
            for (char16_t c : p.s) {
                *d++ = static_cast<char>(c & 0xFF);
                *d++ = static_cast<char>(c >> 8);
            }
            break;
        }
        case kTypeBlob:
            PutU32(out, static_cast<uint32_t>(p.blob.size()));
            out->append(p.blob);
            break;
        default: break;
        }
    }
}

namespace {

// DecodeProps and DecodePropRefs share one parser; they differ only in
// whether strings and blobs are copied out or pointed at.
void Reset(Prop* p)
{
    p->i = 0;
    p->d = 0;
    p->s.clear();
    p->blob.clear();
}
void Reset(PropRef* p) { *p = PropRef(); }

void SetText(Prop* p, const char* b, uint32_t len)
{
    p->s.resize(len);
    if (kLittleEndian)
        std::memcpy(&p->s[0], b, size_t(len) * 2);
    else
        for (uint32_t j = 0; j < len; ++j) p->s[j] = static_cast<char16_t>(GetU16(b + 2 * j));
}
void SetText(PropRef* p, const char* b, uint32_t len)
{
    p->bytes = b;
    p->len = len;
}

void SetBlob(Prop* p, const char* b, uint32_t len) { p->blob.assign(b, len); }
void SetBlob(PropRef* p, const char* b, uint32_t len)
{
    p->bytes = b;
    p->len = len;
}

// Sorted copies of the ids, on the stack for records of usual size: a
// crafted record may hold 65,535 properties.
template <class P>
bool HasDuplicateIds(const std::vector<P>& props)
{
    uint32_t small[32];
    std::vector<uint32_t> large;
    uint32_t* ids = small;
    if (props.size() > 32) {
        large.resize(props.size());
        ids = large.data();
    }
    for (size_t i = 0; i < props.size(); ++i) ids[i] = props[i].id;
    std::sort(ids, ids + props.size());
    return std::adjacent_find(ids, ids + props.size()) != ids + props.size();
}

template <class P>
bool DecodeInto(const char* data, size_t n, std::vector<P>* out)
{
    ByteReader r(data, n);
    uint16_t count;
    if (!r.U16(&count) || count > n / 6) return false;
    // Existing elements are reused so that repeated decoding into one
    // vector keeps its string buffers.
    out->resize(count);
    for (uint16_t k = 0; k < count; ++k) {
        P& p = (*out)[k];
        Reset(&p);
        if (!r.U32(&p.id)) return false;
        switch (TypeOf(p.id)) {
        case kTypeI2: { uint16_t v; if (!r.U16(&v)) return false; p.i = static_cast<int16_t>(v); break; }
        case kTypeUI2: { uint16_t v; if (!r.U16(&v)) return false; p.i = v; break; }
        case kTypeI4: case kTypeBool: { uint32_t v; if (!r.U32(&v)) return false; p.i = static_cast<int32_t>(v); break; }
        case kTypeUI4: { uint32_t v; if (!r.U32(&v)) return false; p.i = v; break; }
        case kTypeFiletime: { uint64_t v; if (!r.U64(&v)) return false; p.i = static_cast<int64_t>(v); break; }
        case kTypeR8: { uint64_t v; if (!r.U64(&v)) return false; std::memcpy(&p.d, &v, 8); break; }
        case kTypeString: {
            uint32_t len;
            const char* b;
            if (!r.U32(&len) || len > r.Left() / 2 || !r.Bytes(size_t(len) * 2, &b)) return false;
            SetText(&p, b, len);
            break;
        }
        case kTypeBlob: {
            uint32_t len;
            const char* b;
            if (!r.U32(&len) || !r.Bytes(len, &b)) return false;
            SetBlob(&p, b, len);
            break;
        }
        default: return false;
        }
    }
    return r.AtEnd() && !HasDuplicateIds(*out);
}

}  // namespace

bool DecodeProps(const char* data, size_t n, std::vector<Prop>* out) { return DecodeInto(data, n, out); }

bool DecodePropRefs(const char* data, size_t n, std::vector<PropRef>* out) { return DecodeInto(data, n, out); }

}  // namespace cedb
