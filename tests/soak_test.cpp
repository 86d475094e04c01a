// Long random driving: the simulation must stay finite however the keys are pressed.
#include <doctest/doctest.h>

#include "RandomDrive.h"
#include "SceneHelpers.h"

TEST_CASE("100,000 frames of random keys on all three cars keep every body finite")
{
    StartScene();
    std::vector<dBodyID> bodies = CollectBodies(gSim.scene);
    RandomDrive drive = StartRandomDrive(20261207);
    long firstBad = -1;
    for (long frame = 1; frame <= 100000 && firstBad < 0; ++frame) {
        ChangeRandomKey(drive);
        RunFrames(1);
        if (frame % 100 == 0)
            for (dBodyID b : bodies)
                if (!IsFinite(b))
                    firstBad = frame;
    }
    CHECK(firstBad == -1);
    EndScene();
}
