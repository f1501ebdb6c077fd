// The Windows benchmarks' yardstick: how long the program takes to start on
// an empty store in this run, so that figures compare across machines. One
// start-up swings with the machine's load, so the yardstick is the median of
// several.
#pragma once
#include <vector>

#include "bench/milliseconds.h"
#include "bench/statistics.h"
#include "tests/harness/scenario.h"

constexpr int YARDSTICK_ROUNDS = 5;

// Milliseconds from start to the first settled window; -1 when it failed.
inline double EmptyStoreStartUpOnce()
{
    Scenario scenario;
    const double start = Now();
    if (!scenario.Start())
        return -1;
    scenario.PumpPending();
    const double took = Now() - start;
    scenario.Close();
    return took;
}

// The median of YARDSTICK_ROUNDS start-ups; -1 when one failed.
inline double EmptyStoreStartUp()
{
    std::vector<double> rounds;
    for (int i = 0; i < YARDSTICK_ROUNDS; ++i)
        rounds.push_back(EmptyStoreStartUpOnce());
    return Summarize(rounds).median;
}
