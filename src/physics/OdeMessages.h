// ODE's own messages. Its contact solver now and then meets a problem it cannot solve exactly
// ("LCP internal error, s <= 0"), says so on standard error and goes on with an approximate answer.
// Those lines read as alarms in a terminal or XScreenSaver's log: they are counted here instead and
// said once, at the end of the run. ODE's errors and debug checks still end the process, after a
// plain word of what happened.
#pragma once

// Routes ODE's messages, errors and debug checks here; the count starts again from 0.
void CatchOdeMessages();
// Messages since CatchOdeMessages, and the first of them as ODE worded it ("" while none).
long CountOdeMessages();
const char* ReadFirstOdeMessage();
