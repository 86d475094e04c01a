#include "app/RunState.h"

float gDesiredFps = 30.0f;
