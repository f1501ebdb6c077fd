// How often program code has called the service since the process started:
// benchmarks report calls per operation, which a noisy machine cannot blur.
// The program itself never reads these.
#pragma once

struct CedbCallCounts {
    long calls;  // every database call
    long opens;  // database opens, each of which makes a kernel handle
};

CedbCallCounts CedbGetCallCounts();
