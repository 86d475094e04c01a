#include "app/RunState.h"

bool gPreview;
bool gFullscreen = true;
bool gActive = true;
float gDesiredFps = 30.0f;
