// Volume files made to cost their reader the most per byte, as a hostile
// file would: for the tests, the fuzz corpus and the benchmark.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace cedb_test {

// A damaged first entry followed by an entry header every few bytes, each
// claiming the rest of the file and none of them valid.
std::string CandidateHeadersVolume(size_t bytes);
// Valid records, each holding `properties` distinct properties (at most
// 65,535, the most a record can hold).
std::string WideRecordsVolume(size_t bytes, size_t properties);
// The payload of a database-creation entry of type 0 with `orders` sort
// orders, whose keys the caller appends.
std::string DatabaseEntry(uint32_t oid, const std::u16string& name, uint8_t orders);

}  // namespace cedb_test
