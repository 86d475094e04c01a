#include "render/Overlay.h"

#include <cstdio>

#include "physics/Driving.h"
#include "gl/Text.h"
#include "render/Primitives.h"

void DrawOverlay(const OverlayFigures& figures)
{
    float speeds[kCarCount];
    for (int c = 0; c < kCarCount; ++c)
        speeds[c] = CarGroundSpeed(c);

    glLoadIdentity();
    glTranslatef(0, 0, -1);
    glColor3f(1, 0, 1);
    glRasterPos2f(-0.45f, -0.33f);
    PrintText(" Fps:[%.2f] Gravity:[%.5f] SleepTime:[%.2f]", double(figures.fps), double(figures.gravity),
              double(figures.sleepTime));
    glRasterPos2f(-0.45f, -0.37f);
    PrintText("Velocity Car1>[%f], Car2>[%f], Car3>[%f]", double(speeds[0]), double(speeds[1]),
              double(speeds[2]));
    if (figures.shared) {
        glRasterPos2f(-0.45f, -0.41f);
        PrintText("%s", figures.shared);
    }
    if (figures.paused) {
        glRasterPos2f(-0.45f, -0.29f);
        PrintText("Paused: P goes on, N steps one frame");
    }

    // From high above, nearly straight down: world +x runs to the upper right, +y to the upper left.
    gluLookAt(0, 0, 1500, 2, 2, 10, 0, 0, 1);
    for (const Car& car : gCars) {
        glColor3f(float(car.color[0]), float(car.color[1]), float(car.color[2]));
        DrawBodyBox(car.chassis);
    }
}
