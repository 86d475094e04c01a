// Key scripts: one key event a line, "FRAME down|up VK", for replaying a drive.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

struct KeyEvent {
    long frame;  // numbered from 1; applied before that frame's driving control
    bool down;
    unsigned vk;  // Windows virtual-key code, 0 to 255
};

// Reads the whole script; on a malformed line returns false with the line number and the reason in
// error. '#' starts a comment; blank lines are allowed. Events keep their file order within a frame.
bool ReadKeyScript(std::FILE* file, std::vector<KeyEvent>& events, std::string& error);
