// Random driving for soaks: the three cars' keys (and car 0's space bar) pressed and let go at random,
// through the programs' own key handling. The same seed gives the same drive.
#pragma once
#include <random>
#include <vector>

struct RandomDrive {
    std::mt19937 random;
    std::vector<unsigned> keys;
};

RandomDrive StartRandomDrive(unsigned seed);
// Before a frame: one time in twenty, one of the keys changes between held and let go.
void ChangeRandomKey(RandomDrive& drive);
