// The relay's count of late ticks: its percentiles are those of the sorted list, to a bin's width.
#include <doctest/doctest.h>

#include "relay/Lateness.h"

TEST_CASE("tick lateness: percentiles to a bin's upper edge, the maximum exact, past 100 ms the maximum")
{
    TickLateness lateness;
    CHECK(FindLatenessPercentile(lateness, 0.99) == 0);
    // 1000 ticks, the k-th 5 us into the k-th bin.
    for (int k = 0; k < 1000; ++k)
        CountLateness(lateness, (k + 0.5) * kLatenessBinSeconds);
    CHECK(lateness.count == 1000);
    CHECK(FindLatenessPercentile(lateness, 0.5) == doctest::Approx(500 * kLatenessBinSeconds));
    CHECK(FindLatenessPercentile(lateness, 0.99) == doctest::Approx(990 * kLatenessBinSeconds));
    CHECK(FindLatenessPercentile(lateness, 1) == doctest::Approx(999.5 * kLatenessBinSeconds));
    CHECK(lateness.max == doctest::Approx(999.5 * kLatenessBinSeconds));

    // Eleven ticks a quarter of a second late or more: the 99th percentile is past the bins.
    for (int k = 0; k < 11; ++k)
        CountLateness(lateness, 0.25 + k * 0.01);
    CHECK(FindLatenessPercentile(lateness, 0.5) == doctest::Approx(506 * kLatenessBinSeconds));
    CHECK(FindLatenessPercentile(lateness, 0.99) == doctest::Approx(0.35));
    CHECK(lateness.bins[kLatenessBins - 1] == 11);
}
