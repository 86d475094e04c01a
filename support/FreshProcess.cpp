#include "FreshProcess.h"

#include "app/Frame.h"
#include "app/RunState.h"
#include "platform/Platform.h"
#include "platform/null/NullPlatform.h"
#include "sim/Simulation.h"

void StartFreshProcess()
{
    ResetNullPlatform();
    ResetRunState();
}

void StartScene()
{
    StartFreshProcess();
    HandleMinimised(true);
    BuildRunWorld();
}

void StartAutopilotScene(uint32_t seed)
{
    StartScene();
    SwitchAutopilot(true);
    StartAutopilot(seed);
}

void EndScene()
{
    DestroySimWorld();
}

void RunFrames(long count)
{
    for (long i = 0; i < count; ++i)
        RunFrame();
}
