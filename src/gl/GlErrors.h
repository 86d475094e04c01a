// The GL errors raised since the last look, for a run's health checks.
#pragma once

// Takes every error flag GL has set (each error kind is flagged once until read) and returns how
// many there were; the first one's code goes to first, 0 when there was none.
int TakeGlErrors(unsigned* first);
