#include "platform/cedb/core/crc32c.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <nmmintrin.h>
#define CEDB_HAVE_SSE42_PATH 1
#endif

namespace cedb {
namespace {

struct Tables {
    uint32_t t[8][256];
    Tables()
    {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c >> 1) ^ ((c & 1) ? 0x82F63B78u : 0u);
            t[0][i] = c;
        }
        for (uint32_t i = 0; i < 256; ++i)
            for (int s = 1; s < 8; ++s) t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF];
    }
};

const Tables& GetTables()
{
    static const Tables tables;
    return tables;
}

uint32_t ExtendPortable(uint32_t crc, const uint8_t* p, size_t n)
{
    const Tables& tb = GetTables();
    uint32_t c = ~crc;
    while (n >= 8) {
        uint32_t lo, hi;
        std::memcpy(&lo, p, 4);
        std::memcpy(&hi, p + 4, 4);
        lo ^= c;  // the log is little-endian and so are the hosts we build for
        c = tb.t[7][lo & 0xFF] ^ tb.t[6][(lo >> 8) & 0xFF] ^ tb.t[5][(lo >> 16) & 0xFF] ^
            tb.t[4][lo >> 24] ^ tb.t[3][hi & 0xFF] ^ tb.t[2][(hi >> 8) & 0xFF] ^
            tb.t[1][(hi >> 16) & 0xFF] ^ tb.t[0][hi >> 24];
        p += 8;
        n -= 8;
    }
    while (n--) c = (c >> 8) ^ tb.t[0][(c ^ *p++) & 0xFF];
    return ~c;
}

#ifdef CEDB_HAVE_SSE42_PATH
__attribute__((target("sse4.2"))) uint32_t ExtendHardware(uint32_t crc, const uint8_t* p, size_t n)
{
    uint64_t c = ~crc;
    while (n >= 8) {
        uint64_t v;
        std::memcpy(&v, p, 8);
        c = _mm_crc32_u64(c, v);
        p += 8;
        n -= 8;
    }
    uint32_t c32 = static_cast<uint32_t>(c);
    while (n--) c32 = _mm_crc32_u8(c32, *p++);
    return ~c32;
}

bool HaveHardware()
{
    static const bool have = __builtin_cpu_supports("sse4.2");
    return have;
}
#endif

}  // namespace

uint32_t Crc32cExtend(uint32_t crc, const void* data, size_t n)
{
    const uint8_t* p = static_cast<const uint8_t*>(data);
#ifdef CEDB_HAVE_SSE42_PATH
    if (HaveHardware()) return ExtendHardware(crc, p, n);
#endif
    return ExtendPortable(crc, p, n);
}

uint32_t Crc32cExtendPortable(uint32_t crc, const void* data, size_t n)
{
    return ExtendPortable(crc, static_cast<const uint8_t*>(data), n);
}

}  // namespace cedb
