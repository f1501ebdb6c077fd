// How often program code has called the service since the process started:
// benchmarks report calls per operation, which a noisy machine cannot blur.
#pragma once

struct CedbCallCounts {
    long calls;  // every database call
    long opens;  // database opens, each of which makes a kernel handle
};

CedbCallCounts CedbGetCallCounts();

// Grows with every change to any record or database of any mounted volume in
// this process. Volumes open for writing are this process's alone, so a
// reader that saw the same stamp before has seen the same contents.
unsigned long long CedbChangeStamp();
