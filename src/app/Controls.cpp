#include "app/Controls.h"

#include "app/Input.h"
#include "physics/Driving.h"

void UpdateCarControls()
{
    CarInput inputs[kCarCount];
    for (int c = 0; c < kCarCount; ++c) {
        const CarKeys& keys = kCarKeys[c];
        inputs[c] = {gKeys[keys.raiseSteer], gKeys[keys.lowerSteer], gKeys[keys.raiseSpeed],
                     gKeys[keys.lowerSpeed], gKeys[keys.lift], c == 0 && gKeys[kVkSpace]};
    }
    DriveCars(inputs);
}
