// Kelvaron in XScreenSaver's list: the `programs:` resource of the user's ~/.xscreensaver, which
// XScreenSaver offers hacks from. Only plain C++ and POSIX: no display is needed.
#pragma once
#include <string>

// The text of a ~/.xscreensaver with Kelvaron's entry first in its programs list (add) or with
// Kelvaron's entries taken out (remove). When the list has Kelvaron only turned off (its entry
// starts with '-', which keeps it out of the random choice), add takes that '-' out of the first
// such entry and changes nothing else. False with the reason when the text is not as expected (no
// programs list or more than one, an entry of Kelvaron's sharing its line with another); note says
// what was done, and when nothing needed doing the text comes back as it was.
bool AddToProgramsList(const std::string& text, std::string* edited, std::string* note);
bool RemoveFromProgramsList(const std::string& text, std::string* edited, std::string* note);

// Adds or removes the entry in the file at path (a link is followed), copying the file as it was to
// path.kelvaron-backup first and replacing it as a whole: a file written beside it, flushed to disk,
// then renamed over it. Nothing is written when nothing changes. message says what was done, or why
// nothing could be, including how to make a missing file.
bool ChangeXScreenSaverFile(const std::string& path, bool add, std::string* message);
