#include "relay/Lateness.h"

#include <algorithm>
#include <cmath>

void CountLateness(TickLateness& lateness, double seconds)
{
    const long bin = std::clamp(long(seconds / kLatenessBinSeconds), 0L, long(kLatenessBins - 1));
    ++lateness.bins[bin];
    ++lateness.count;
    lateness.max = std::max(lateness.max, seconds);
}

double FindLatenessPercentile(const TickLateness& lateness, double fraction)
{
    if (lateness.count == 0)
        return 0;
    // The rank of the tick it names, counted from 1, as a sorted list's index would be.
    const long rank = std::clamp(long(std::ceil(fraction * double(lateness.count))), 1L, lateness.count);
    long seen = 0;
    for (int bin = 0; bin < kLatenessBins - 1; ++bin) {
        seen += lateness.bins[bin];
        if (seen >= rank)
            return std::min((bin + 1) * kLatenessBinSeconds, lateness.max);
    }
    return lateness.max;
}
