#include "render/Overlay.h"

#include <cstdio>
#include <string>
#include <vector>

#include "physics/Driving.h"
#include "gl/Text.h"
#include "render/Primitives.h"

constexpr float kTextLeft = -0.45f;
constexpr float kLineStep = 0.04f;

// The text broken at blanks into lines no wider than width pixels, its blanks within a line kept; a
// word wider than that alone on its line.
static std::vector<std::string> BreakLines(std::string text, float width)
{
    constexpr size_t npos = std::string::npos;
    std::vector<std::string> lines;
    while (MeasureText(text) > width) {
        size_t cut = text.rfind(' ');
        while (cut != npos && cut > 0 && MeasureText(text.substr(0, cut)) > width)
            cut = text.rfind(' ', cut - 1);
        if (cut == npos || cut == 0)
            cut = text.find(' ', 1);
        const size_t next = cut == npos ? npos : text.find_first_not_of(' ', cut);
        if (next == npos)
            break;
        lines.push_back(text.substr(0, cut));
        text.erase(0, next);
    }
    lines.push_back(text);
    return lines;
}

// The pixels from where the overlay's lines start to the quadrant's right edge.
static float FindLineWidth()
{
    GLint viewport[4];
    GLfloat raster[4];
    glRasterPos2f(kTextLeft, 0);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetFloatv(GL_CURRENT_RASTER_POSITION, raster);
    return float(viewport[0] + viewport[2]) - raster[0] - 2;
}

void DrawOverlay(const Scene& scene, const OverlayFigures& figures)
{
    float speeds[kCarCount];
    for (int c = 0; c < kCarCount; ++c)
        speeds[c] = CarGroundSpeed(scene, c);

    glLoadIdentity();
    glTranslatef(0, 0, -1);
    glColor3f(1, 0, 1);
    // The shared run's line, which may be long (why the room was left), fits the quadrant: its lines
    // end at the bottom, the figures' above them.
    const std::vector<std::string> shared = figures.shared ? BreakLines(figures.shared, FindLineWidth())
                                                           : std::vector<std::string>{};
    const float up = shared.empty() ? 0 : kLineStep * float(shared.size() - 1);
    glRasterPos2f(kTextLeft, -0.33f + up);
    PrintText(" Fps:[%.2f] Gravity:[%.5f] SleepTime:[%.2f]", double(figures.fps), double(figures.gravity),
              double(figures.sleepTime));
    glRasterPos2f(kTextLeft, -0.37f + up);
    PrintText("Velocity Car1>[%f], Car2>[%f], Car3>[%f]", double(speeds[0]), double(speeds[1]),
              double(speeds[2]));
    for (size_t i = 0; i < shared.size(); ++i) {
        glRasterPos2f(kTextLeft, -0.41f + up - kLineStep * float(i));
        PrintText("%s", shared[i].c_str());
    }
    if (figures.paused) {
        glRasterPos2f(kTextLeft, -0.29f);
        PrintText("Paused: P goes on, N steps one frame");
    }

    // From high above, nearly straight down: world +x runs to the upper right, +y to the upper left.
    gluLookAt(0, 0, 1500, 2, 2, 10, 0, 0, 1);
    for (const Car& car : scene.cars) {
        glColor3f(float(car.color[0]), float(car.color[1]), float(car.color[2]));
        DrawBodyBox(car.chassis);
    }
}
