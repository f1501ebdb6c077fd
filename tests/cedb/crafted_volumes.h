// Volume files made to cost their reader the most per byte, as a hostile
// file would: for the tests, the fuzz corpus and the benchmark.
#pragma once
#include <cstddef>
#include <string>

namespace cedb_test {

// A damaged first entry followed by an entry header every few bytes, each
// claiming the rest of the file and none of them valid.
std::string CandidateHeadersVolume(size_t bytes);
// Valid records, each holding `properties` distinct properties (at most
// 65,535, the most a record can hold).
std::string WideRecordsVolume(size_t bytes, size_t properties);

}  // namespace cedb_test
