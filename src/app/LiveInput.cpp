// The window's key reports and the pads' states (declared in platform/Platform.h) become commands for
// the next frame (input/), and each goes where it belongs (Commands.cpp).
#include <vector>

#include "app/Commands.h"
#include "app/LiveInput.h"
#include "input/Keyboard.h"
#include "input/Pads.h"

static void QueueLiveCommands(const std::vector<Command>& commands)
{
    for (const Command& c : commands)
        QueueLiveCommand(c);
}

static void QueueKey(unsigned vk, bool down)
{
    Command command;
    if (TakeKey(vk, down, NextCommandFrame(), &command))
        QueueLiveCommand(command);
}

void HandleKeyDown(unsigned vk)
{
    QueueKey(vk, true);
}

void HandleKeyUp(unsigned vk)
{
    QueueKey(vk, false);
}

void HandleFocusLost()
{
    std::vector<Command> commands;
    TakeFocusLoss(NextCommandFrame(), commands);
    QueueLiveCommands(commands);
}

void HandlePadState(long padId, const PadState& state)
{
    std::vector<Command> commands;
    TakePadState(padId, state, NextCommandFrame(), commands);
    QueueLiveCommands(commands);
}

void HandlePadGone(long padId)
{
    std::vector<Command> commands;
    TakePadGone(padId, NextCommandFrame(), commands);
    QueueLiveCommands(commands);
}

void ReleasePads()
{
    std::vector<Command> commands;
    TakeEveryPadGone(NextCommandFrame(), commands);
    QueueLiveCommands(commands);
}
