// Typed property values, their byte encoding in the log, and the ordering
// used by sort orders and value seeks.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace cedb {

// Low word of a property id.
enum PropType : uint16_t {
    kTypeI2 = 2,
    kTypeI4 = 3,
    kTypeR8 = 5,
    kTypeBool = 11,
    kTypeUI2 = 18,
    kTypeUI4 = 19,
    kTypeString = 31,
    kTypeFiletime = 64,
    kTypeBlob = 65,
};

inline uint16_t TypeOf(uint32_t propid) { return static_cast<uint16_t>(propid & 0xFFFF); }
bool IsKnownType(uint16_t type);
bool IsSortableType(uint16_t type);

struct Prop {
    uint32_t id = 0;
    int64_t i = 0;         // integer, bool and file-time types
    double d = 0;          // kTypeR8
    std::u16string s;      // kTypeString
    std::string blob;      // kTypeBlob
};

// Sort-key flags, numerically the platform's.
enum SortFlags : uint32_t {
    kSortDescending = 0x00000001,
    kSortCaseInsensitive = 0x00000002,
    kSortUnknownFirst = 0x00000004,
};

struct SortKey {
    uint32_t propid = 0;
    uint32_t flags = 0;
};
using SortOrder = std::vector<SortKey>;  // one to four keys

// The value of one sort key in one record, prepared for comparison: strings
// of case-insensitive keys are stored folded.
// Owning pointer that copies what it points to: keeps rarely used parts of
// index entries out of line, so the entries stay small.
template <class T>
class Boxed {
public:
    Boxed() = default;
    explicit Boxed(T v) : p_(new T(std::move(v))) {}
    Boxed(const Boxed& o) : p_(o.p_ ? new T(*o.p_) : nullptr) {}
    Boxed(Boxed&&) noexcept = default;
    Boxed& operator=(const Boxed& o)
    {
        p_.reset(o.p_ ? new T(*o.p_) : nullptr);
        return *this;
    }
    Boxed& operator=(Boxed&&) noexcept = default;
    const T& operator*() const { return *p_; }
    const T* operator->() const { return p_.get(); }
    T* get() { return p_.get(); }
    explicit operator bool() const { return p_ != nullptr; }

private:
    std::unique_ptr<T> p_;
};

struct KeyValue {
    bool present = false;
    union {
        int64_t i = 0;
        double d;
    };
    Boxed<std::u16string> s;  // set for present string keys
};


// Orders two values of one key by its flags (absent values by the
// unknown-first flag whatever the direction). Inline: it is the inner loop
// of every index operation.
inline int CompareKey(const KeyValue& a, const KeyValue& b, const SortKey& key)
{
    if (!a.present || !b.present) {
        if (a.present == b.present) return 0;
        bool unknown_first = (key.flags & kSortUnknownFirst) != 0;
        return (!a.present) == unknown_first ? -1 : 1;
    }
    int c;
    switch (key.propid & 0xFFFF) {
    case kTypeR8: {
        bool an = a.d != a.d, bn = b.d != b.d;  // NaN sorts first
        if (an || bn) c = an == bn ? 0 : (an ? -1 : 1);
        else c = a.d < b.d ? -1 : (a.d > b.d ? 1 : 0);
        break;
    }
    case kTypeString: c = a.s->compare(*b.s); c = c < 0 ? -1 : (c > 0 ? 1 : 0); break;
    default: c = a.i < b.i ? -1 : (a.i > b.i ? 1 : 0); break;
    }
    return (key.flags & kSortDescending) ? -c : c;
}
char16_t FoldCase(char16_t c);

// A property as it lies in an encoded record: numbers decoded, strings
// (UTF-16LE, `len` characters) and blobs (`len` bytes) left where they are,
// so decoding allocates nothing. Valid while the encoded bytes are.
struct PropRef {
    uint32_t id = 0;
    int64_t i = 0;
    double d = 0;
    const char* bytes = nullptr;
    uint32_t len = 0;
};

KeyValue MakeKeyValue(const Prop* p, const SortKey& key);
KeyValue MakeKeyValue(const PropRef* p, const SortKey& key);

// Encoded record: u16 count, then per property u32 id and the value.
void EncodeProps(const std::vector<Prop>& props, std::string* out);
// False when the bytes are not a well-formed property list; both accept
// exactly the same inputs.
bool DecodeProps(const char* data, size_t n, std::vector<Prop>* out);
bool DecodePropRefs(const char* data, size_t n, std::vector<PropRef>* out);
const Prop* FindProp(const std::vector<Prop>& props, uint32_t id);
const PropRef* FindProp(const std::vector<PropRef>& props, uint32_t id);

// Byte helpers shared by the log code.
void PutU16(std::string* out, uint16_t v);
void PutU32(std::string* out, uint32_t v);
void PutU64(std::string* out, uint64_t v);
uint16_t GetU16(const char* p);
uint32_t GetU32(const char* p);
uint64_t GetU64(const char* p);

// Bounds-checked reader over a byte range.
class ByteReader {
public:
    ByteReader(const char* p, size_t n) : p_(p), end_(p + n) {}
    bool U8(uint8_t* v);
    bool U16(uint16_t* v);
    bool U32(uint32_t* v);
    bool U64(uint64_t* v);
    bool Bytes(size_t n, const char** out);
    bool AtEnd() const { return p_ == end_; }
    size_t Left() const { return static_cast<size_t>(end_ - p_); }

private:
    const char* p_;
    const char* end_;
};

}  // namespace cedb
