// Measured times and their order statistics.
#pragma once
#include <algorithm>
#include <chrono>
#include <vector>

inline double MicrosSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
}

// The value below which the given share (0 to 1) of the samples lie.
inline double Percentile(std::vector<double> samples, double share)
{
    std::sort(samples.begin(), samples.end());
    return samples[std::min(samples.size() - 1, size_t(share * double(samples.size())))];
}
