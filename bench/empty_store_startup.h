// The Windows benchmarks' yardstick: how long the program takes to start on
// an empty store in this run, so that figures compare across machines.
#pragma once
#include "bench/milliseconds.h"
#include "tests/harness/scenario.h"

// Milliseconds from start to the first settled window; -1 when it failed.
inline double EmptyStoreStartUp()
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
