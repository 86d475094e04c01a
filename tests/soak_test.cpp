// Long random driving: the simulation must stay finite however the keys are pressed.
#include <doctest/doctest.h>

#include <random>

#include "SceneHelpers.h"
#include "app/Input.h"
#include "platform/Platform.h"
#include "app/Controls.h"

TEST_CASE("100,000 frames of random keys on all three cars keep every body finite")
{
    std::vector<unsigned> keys = {kVkSpace};
    for (const CarKeys& k : kCarKeys)
        keys.insert(keys.end(), {unsigned(k.raiseSteer), unsigned(k.lowerSteer), unsigned(k.raiseSpeed),
                                 unsigned(k.lowerSpeed), unsigned(k.lift)});
    StartScene();
    std::vector<dBodyID> bodies = CollectBodies();
    std::mt19937 random(20261207);
    std::uniform_int_distribution<size_t> pick(0, keys.size() - 1);
    std::uniform_int_distribution<int> chance(0, 19);
    long firstBad = -1;
    for (long frame = 1; frame <= 100000 && firstBad < 0; ++frame) {
        if (chance(random) == 0) {
            unsigned vk = keys[pick(random)];
            gKeys[vk] ? HandleKeyUp(vk) : HandleKeyDown(vk);
        }
        RunFrames(1);
        if (frame % 100 == 0)
            for (dBodyID b : bodies)
                if (!IsFinite(b))
                    firstBad = frame;
    }
    CHECK(firstBad == -1);
    EndScene();
}
