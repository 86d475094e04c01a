#include "physics/OdeMessages.h"

#include <ode/ode.h>

#include <cstdarg>
#include <cstdio>

static long gOdeMessageCount;
static char gFirstOdeMessage[256];

static void CountMessage(int number, const char* format, va_list args)
{
    if (gOdeMessageCount++ == 0) {
        char text[200];
        std::vsnprintf(text, sizeof text, format, args);
        std::snprintf(gFirstOdeMessage, sizeof gFirstOdeMessage, "ODE Message %d: %s", number, text);
    }
}

// ODE ends the process when these return: exit(1) after an error, abort() after a debug check.
static void SayWhyItEnds(const char* what, int number, const char* format, va_list args)
{
    char text[256];
    std::vsnprintf(text, sizeof text, format, args);
    std::fprintf(stderr, "kelvaron: the physics engine stopped the run: ODE %s %d: %s\n", what, number, text);
}

static void SayError(int number, const char* format, va_list args)
{
    SayWhyItEnds("error", number, format, args);
}

static void SayDebugCheck(int number, const char* format, va_list args)
{
    SayWhyItEnds("internal check", number, format, args);
}

void CatchOdeMessages()
{
    gOdeMessageCount = 0;
    gFirstOdeMessage[0] = '\0';
    dSetMessageHandler(CountMessage);
    dSetErrorHandler(SayError);
    dSetDebugHandler(SayDebugCheck);
}

long CountOdeMessages()
{
    return gOdeMessageCount;
}

const char* ReadFirstOdeMessage()
{
    return gFirstOdeMessage;
}
