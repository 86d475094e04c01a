// XScreenSaver's list in an arbitrary ~/.xscreensaver: adding Kelvaron and taking it out again never
// fails once the text was taken, a second time changes nothing, and what is taken out stays out.
#include <cstdlib>
#include <string>

#include "platform/linux/XScreenSaverList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size), added, again, removed, note;
    if (AddToProgramsList(text, &added, &note)) {
        if (!AddToProgramsList(added, &again, &note) || again != added)
            std::abort();
        // Kelvaron was not there before: its own line comes out again.
        if (added != text && !RemoveFromProgramsList(added, &removed, &note))
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
