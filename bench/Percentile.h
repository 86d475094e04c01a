// Order statistics of measured times.
#pragma once
#include <algorithm>
#include <vector>

// The value below which the given share (0 to 1) of the samples lie.
inline double Percentile(std::vector<double> samples, double share)
{
    std::sort(samples.begin(), samples.end());
    return samples[std::min(samples.size() - 1, size_t(share * double(samples.size())))];
}
