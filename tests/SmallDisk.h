// A small file system of the test's own (tmpfs, in a mount namespace of this process alone, so that
// nothing is left mounted however the test ends), filled to the last byte or made read-only. Needs
// root; without it the mount fails and the test says it skipped.
#pragma once
#include <string>

// Mounts a tmpfs of this many bytes over the folder; false, having said why, when it cannot.
bool MountSmallDisk(const std::string& folder, long bytes);
// Fills the file system with a file of its own until no byte is left.
void FillSmallDisk(const std::string& folder);
// Remounts it read-only.
bool MakeSmallDiskReadOnly(const std::string& folder);
void UnmountSmallDisk(const std::string& folder);
