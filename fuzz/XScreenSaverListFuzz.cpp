// XScreenSaver's list in an arbitrary ~/.xscreensaver: adding Kelvaron and taking it out again never
// fails once the text was taken, a second time changes nothing, and what is taken out stays out.
#include <cstdlib>
#include <string>

#include "platform/linux/XScreenSaverList.h"

// Whether edited is text with one '-' taken out and nothing else changed.
static bool OneDashTakenOut(const std::string& text, const std::string& edited)
{
    if (edited.size() + 1 != text.size())
        return false;
    size_t i = 0;
    while (i < edited.size() && edited[i] == text[i])
        ++i;
    return text[i] == '-' && text.compare(i + 1, std::string::npos, edited, i, std::string::npos) == 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size), added, again, removed, note;
    if (AddToProgramsList(text, &added, &note)) {
        if (!AddToProgramsList(added, &again, &note) || again != added)
            std::abort();
        // Kelvaron was there but turned off: only its '-' went. It was not there: its own line comes
        // out again.
        bool had = !RemoveFromProgramsList(text, &removed, &note) || removed != text;
        if (had ? added != text && !OneDashTakenOut(text, added)
                : added == text || !RemoveFromProgramsList(added, &removed, &note))
            std::abort();
    }
    if (RemoveFromProgramsList(text, &removed, &note)) {
        if (!RemoveFromProgramsList(removed, &again, &note) || again != removed)
            std::abort();
        if (!AddToProgramsList(removed, &added, &note) || added == removed)
            std::abort();
    }
    return 0;
}
