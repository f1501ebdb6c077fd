// What exports cost, counted for the benchmark and the tests; the program
// itself never reads these.
#pragma once

// Contacts fetched and activity records read by exports since the program
// started; an export should need each only once.
extern long exportContactFetches;
extern long exportActivityReads;
