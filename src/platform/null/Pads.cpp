// The null backend's pads: there are none; a test hands pad states to UpdatePad itself. On its own
// so that a suite can link a real backend's pads beside the rest of the null backend.
#include "platform/null/NullPlatform.h"

void OpenGamepads()
{
    gNull.calls.push_back("OpenGamepads");
}

void CloseGamepads()
{
    gNull.calls.push_back("CloseGamepads");
}

void PollGamepads() {}
