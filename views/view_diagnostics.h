// What the views cost, counted for the benchmark and the tests; the program
// itself never reads these.
#pragma once

// How many activity records the sorts have read since start.
extern long sortRecordReads;
