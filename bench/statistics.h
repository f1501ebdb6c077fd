// A figure measured several times in one run: its median, and the spread
// between the fastest and the slowest round, so a reader sees how steady
// the machine was.
#pragma once
#include <algorithm>
#include <vector>

struct Summary {
    double median = -1, low = -1, high = -1;
    bool ok() const { return median >= 0; }
};

// A failed round (a negative figure) fails the summary.
inline Summary Summarize(std::vector<double> rounds)
{
    Summary summary;
    if (rounds.empty() || *std::min_element(rounds.begin(), rounds.end()) < 0)
        return summary;
    std::sort(rounds.begin(), rounds.end());
    const size_t n = rounds.size();
    summary.median = n % 2 ? rounds[n / 2] : (rounds[n / 2 - 1] + rounds[n / 2]) / 2;
    summary.low = rounds.front();
    summary.high = rounds.back();
    return summary;
}
