// A snapshot of the world in a file, written whole, and read back with a bound on its size.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Saves the world as it is now into path; false with the reason.
bool WriteSnapshotFile(const char* path, std::string& why);
// The file's bytes; false with the reason when it cannot be read or is far too large to be one.
bool ReadSnapshotFile(const char* path, std::vector<uint8_t>& bytes, std::string& why);
