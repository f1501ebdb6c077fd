// CRC-32C (Castagnoli), the checksum of the volume log.
#pragma once
#include <cstddef>
#include <cstdint>

namespace cedb {

// Continues a CRC over more bytes; start with crc = 0.
uint32_t Crc32cExtend(uint32_t crc, const void* data, size_t n);
inline uint32_t Crc32c(const void* data, size_t n) { return Crc32cExtend(0, data, n); }
// The table-driven form Crc32cExtend falls back to where the processor has no
// CRC instruction; open so that it is checked on every machine.
uint32_t Crc32cExtendPortable(uint32_t crc, const void* data, size_t n);

}  // namespace cedb
