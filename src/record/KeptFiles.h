// Files kept for the user: recordings kept during a run and a room's log, in the pictures folder
// named for when they were taken, and any file written whole or not at all.
#pragma once
#include <cstddef>
#include <functional>
#include <string>

// Writes the file at path; false with the reason.
using FileWriter = std::function<bool(const char* path, char* reason, size_t reasonSize)>;

// Writes path through write under another name, renamed when whole, so that nobody sees half a file
// and an old one stays as it was when the write fails. False with the reason.
bool WriteFileWhole(const std::string& path, const FileWriter& write, char* reason, size_t reasonSize);
// Saves a file as kelvaron-YYYY-MM-DD-HHMMSS.EXTENSION in the pictures folder, with -2, -3, ... when
// several are saved within a second, written whole. Puts the path in where, or on failure the path
// and the reason.
bool SaveInPicturesFolder(const char* extension, const FileWriter& write, char* where, size_t whereSize);
