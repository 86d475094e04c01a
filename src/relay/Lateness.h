// How late the ticks went out, in bins rather than one by one, so that a relay that runs for months
// keeps no more than it did in its first minute.
#pragma once
#include <vector>

constexpr double kLatenessBinSeconds = 10e-6;
constexpr int kLatenessBins = 10000;  // up to 100 ms; the last bin takes every later tick too

struct TickLateness {
    std::vector<long> bins = std::vector<long>(kLatenessBins);
    long count = 0;
    double max = 0;  // seconds
};

void CountLateness(TickLateness& lateness, double seconds);
// The lateness no more than fraction (0 to 1) of the ticks exceed, in seconds: the upper edge of its
// bin, or the maximum when it falls in the last bin. 0 when no tick was counted.
double FindLatenessPercentile(const TickLateness& lateness, double fraction);
