// A seeded, mixed workload over the engine, with the state digest after
// every step, so a recovered volume can be checked against every prefix of
// the work: it must equal one of them, at or after the last acknowledged flush.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/cedb/core/volume.h"

namespace cedb_test {

struct Step {
    enum Kind { kCreateDb, kDeleteDb, kPut, kUpdate, kDeleteRecord, kFlush, kCompact } kind;
    uint32_t db = 0;
    uint32_t oid = 0;
    cedb::DatabaseLayout layout;
    std::vector<cedb::Prop> props;
    std::vector<uint32_t> deletes;
};

struct Script {
    std::vector<Step> steps;
    std::vector<uint64_t> digests;  // digests[j]: state after the first j steps
};

Script MakeScript(uint32_t seed, size_t steps);

cedb::Status RunStep(cedb::Volume* v, const Step& s);

// Every database's records and the order of each of its sort orders, ties
// and all; 0 when the volume's indexes disagree with its records.
uint64_t Digest(cedb::Volume& v);

// True when `digest` is the state after j steps for some j >= from.
bool MatchesPrefix(const Script& s, uint64_t digest, size_t from);

// Runs steps until one fails; returns how many steps were acknowledged as
// durable by a successful flush (or compaction).
size_t RunScript(cedb::Volume* v, const Script& s);

}  // namespace cedb_test
