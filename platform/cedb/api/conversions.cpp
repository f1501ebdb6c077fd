#include "platform/cedb/api/conversions.h"

#include <cstring>

#include "platform/cedb/core/volume.h"
#include "platform/cedb/fixed_text.h"

namespace cedb {
namespace api {

bool ToU16(LPCWSTR s, size_t limit, std::u16string* out)
{
    size_t n = 0;
    while (s[n]) {
        if (n >= limit) return false;
        ++n;
    }
    out->resize(n);
    for (size_t i = 0; i < n; ++i) {
        unsigned long c = static_cast<unsigned long>(s[i]);
        if (sizeof(WCHAR) > 2 && c > 0xFFFF) c = 0xFFFD;
        (*out)[i] = static_cast<char16_t>(c);
    }
    return true;
}

void CopyToFixed(WCHAR* dst, size_t capacity, const std::u16string& src)
{
    CopyFixedText(dst, capacity, src.data(), src.size());
}

bool NameFromFixed(const WCHAR* buf, std::u16string* name)
{
    size_t n = 0;
    while (n < CEDB_MAXDBASENAMELEN && buf[n]) ++n;
    if (n == CEDB_MAXDBASENAMELEN) return false;  // 32 characters and no terminator
    return ToU16(buf, kMaxNameLength, name);
}

size_t Align8(size_t n) { return (n + 7) & ~size_t(7); }

bool ToProp(const CEPROPVAL& v, Prop* p)
{
    p->id = v.propid;
    switch (TypeFromPropID(v.propid)) {
    case CEVT_I2: p->i = v.val.iVal; break;
    case CEVT_UI2: p->i = v.val.uiVal; break;
    case CEVT_I4: p->i = v.val.lVal; break;
    case CEVT_UI4: p->i = v.val.ulVal; break;
    case CEVT_BOOL: p->i = v.val.boolVal ? 1 : 0; break;
    case CEVT_R8: p->d = v.val.dblVal; break;
    case CEVT_FILETIME:
        p->i = static_cast<int64_t>((static_cast<uint64_t>(v.val.filetime.dwHighDateTime) << 32) |
                                    v.val.filetime.dwLowDateTime);
        break;
    case CEVT_LPWSTR:
        if (!v.val.lpwstr || !ToU16(v.val.lpwstr, kMaxRecordBytes / 2, &p->s)) return false;
        break;
    case CEVT_BLOB:
        if (v.val.blob.dwCount > kMaxRecordBytes || (v.val.blob.dwCount && !v.val.blob.lpb)) return false;
        p->blob.assign(reinterpret_cast<const char*>(v.val.blob.lpb), v.val.blob.dwCount);
        break;
    default: return false;
    }
    return true;
}

size_t DataBytes(const Prop& p)
{
    switch (TypeFromPropID(p.id)) {
    case CEVT_LPWSTR: return Align8((p.s.size() + 1) * sizeof(WCHAR));
    case CEVT_BLOB: return Align8(p.blob.size());
    default: return 0;
    }
}

void FromProp(const Prop& p, CEPROPVAL* v, BYTE** data)
{
    std::memset(v, 0, sizeof *v);
    v->propid = p.id;
    switch (TypeFromPropID(p.id)) {
    case CEVT_I2: v->val.iVal = static_cast<short>(p.i); break;
    case CEVT_UI2: v->val.uiVal = static_cast<USHORT>(p.i); break;
    case CEVT_I4: v->val.lVal = static_cast<LONG>(p.i); break;
    case CEVT_UI4: v->val.ulVal = static_cast<ULONG>(p.i); break;
    case CEVT_BOOL: v->val.boolVal = static_cast<BOOL>(p.i); break;
    case CEVT_R8: v->val.dblVal = p.d; break;
    case CEVT_FILETIME:
        v->val.filetime.dwLowDateTime = static_cast<DWORD>(p.i);
        v->val.filetime.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(p.i) >> 32);
        break;
    case CEVT_LPWSTR: {
        WCHAR* s = reinterpret_cast<WCHAR*>(*data);
        CopyToFixed(s, p.s.size() + 1, p.s);
        v->val.lpwstr = s;
        v->wLenData = static_cast<WORD>(p.s.size() * 2 + 2 > 0xFFFF ? 0xFFFF : p.s.size() * 2 + 2);
        break;
    }
    case CEVT_BLOB:
        if (!p.blob.empty()) std::memcpy(*data, p.blob.data(), p.blob.size());
        v->val.blob.dwCount = static_cast<DWORD>(p.blob.size());
        v->val.blob.lpb = *data;
        v->wLenData = static_cast<WORD>(p.blob.size() > 0xFFFF ? 0xFFFF : p.blob.size());
        break;
    }
    *data += DataBytes(p);
}

}  // namespace api
}  // namespace cedb
