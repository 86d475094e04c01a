#include "RandomDrive.h"

#include "record/KeyTable.h"
#include "input/Keyboard.h"
#include "platform/Platform.h"

RandomDrive StartRandomDrive(unsigned seed)
{
    RandomDrive drive{std::mt19937(seed), {unsigned(kVkSpace)}};
    for (const CarKeys& k : kCarKeys)
        drive.keys.insert(drive.keys.end(), {unsigned(k.raiseSteer), unsigned(k.lowerSteer), unsigned(k.raiseSpeed),
                                             unsigned(k.lowerSpeed), unsigned(k.lift)});
    return drive;
}

void ChangeRandomKey(RandomDrive& drive)
{
    if (std::uniform_int_distribution<int>(0, 19)(drive.random) != 0)
        return;
    unsigned vk = drive.keys[std::uniform_int_distribution<size_t>(0, drive.keys.size() - 1)(drive.random)];
    IsKeyHeld(vk) ? HandleKeyUp(vk) : HandleKeyDown(vk);
}
