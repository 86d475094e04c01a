// State of the run that the shell sets and the rest reads.
#pragma once

extern float gDesiredFps;  // the frame rate the sleep-time figure aims at; 30 until settings say otherwise
