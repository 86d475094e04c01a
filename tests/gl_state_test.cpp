// The fixed GL state, the primitives and the text, each in a small real offscreen context.
#include <doctest/doctest.h>

#include <cmath>
#include <string>

#include "platform/offscreen/Offscreen.h"
#include "gl/GlState.h"
#include "platform/Platform.h"
#include "app/OverlayFont.h"
#include "gl/Text.h"
#include "render/Primitives.h"

// An 80 x 80 context looking down -z at the square -4..4, ten pixels a unit, lit as the programs are.
static void StartTopDownView()
{
    REQUIRE(StartOffscreenGl(80, 80));
    InitRenderState();
    ResizeViewport(80, 80);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-4, 4, -4, 4, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

static Rgb PixelAt(double x, double y)
{
    return ReadPixel(int((x + 4) * 10), int((y + 4) * 10));
}

static const dReal kIdentity[12] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};

TEST_CASE("the viewport and projection after a resize, even to a zero height")
{
    REQUIRE(StartOffscreenGl(64, 48));
    CHECK(InitRenderState());
    glMatrixMode(GL_PROJECTION);
    ResizeViewport(640, 0);
    GLint viewport[4], mode;
    glGetIntegerv(GL_VIEWPORT, viewport);
    CHECK(viewport[2] == 640);
    CHECK(viewport[3] == 1);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    CHECK(mode == GL_MODELVIEW);
    GLdouble m[16], p[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    for (int i = 0; i < 16; ++i)
        CHECK(m[i] == (i % 5 == 0 ? 1 : 0));
    glGetDoublev(GL_PROJECTION_MATRIX, p);
    double f = 1 / std::tan(22.5 * M_PI / 180);
    CHECK(p[5] == doctest::Approx(f));
    CHECK(p[0] == doctest::Approx(f / 640));  // aspect 640 / 1
    double zNear = double(0.1f), zFar = 1500;
    CHECK(p[14] == doctest::Approx(2 * zFar * zNear / (zNear - zFar)));
    EndOffscreenGl();
}

TEST_CASE("a drawing repeated at the same depth covers the first")
{
    StartTopDownView();
    const dReal at[3] = {0, 0, 0}, sides[3] = {2, 2, 2};
    glColor3f(0, 1, 0);
    DrawBox(at, kIdentity, sides);
    glColor3f(1, 1, 0);
    DrawBox(at, kIdentity, sides);
    Rgb c = PixelAt(0, 0);
    CHECK(c.r > 150);
    CHECK(c.g > 150);
    EndOffscreenGl();
}

TEST_CASE("boxes and spheres are drawn where and how big ODE says, and lit")
{
    StartTopDownView();
    SUBCASE("a 2 x 4 x 6 box at the origin spans -1..1 by -2..2")
    {
        const dReal at[3] = {0, 0, 0}, sides[3] = {2, 4, 6};
        glColor3f(1, 1, 1);
        DrawBox(at, kIdentity, sides);
        CHECK(!IsBlack(PixelAt(0.9, 1.9)));
        CHECK(!IsBlack(PixelAt(-0.9, -1.9)));
        CHECK(IsBlack(PixelAt(1.15, 0)));
        CHECK(IsBlack(PixelAt(0, 2.15)));
        // A quarter turn about z swaps its extents.
        const dReal quarter[12] = {0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0};
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        DrawBox(at, quarter, sides);
        CHECK(!IsBlack(PixelAt(1.9, 0.9)));
        CHECK(IsBlack(PixelAt(0, 1.15)));
    }
    SUBCASE("a sphere of radius 0.5 at (1, 2, 3), its scaled normals renormalised")
    {
        const dReal at[3] = {1, 2, 3};
        glShadeModel(GL_FLAT);
        glColor3f(0.5f, 0.5f, 0.5f);
        DrawSphere(at, kIdentity, 0.5f);
        CHECK(!IsBlack(PixelAt(1.4, 2)));
        CHECK(!IsBlack(PixelAt(1, 1.6)));
        CHECK(IsBlack(PixelAt(1.6, 2)));
        CHECK(IsBlack(PixelAt(1, 2.6)));
        // Facing the light: ambient 0.2 and full diffuse of the 0.5 grey. Normals of length 0.5
        // would light it at 0.35 instead.
        CHECK(PixelAt(1, 2).r == doctest::Approx(0.6 * 255).epsilon(0.05));
        GLint shade;
        glGetIntegerv(GL_SHADE_MODEL, &shade);
        CHECK(shade == GL_SMOOTH);
        CHECK(!glIsEnabled(GL_NORMALIZE));
        // The mesh is compiled by the first sphere only.
        GLuint list = gSphereList;
        CHECK(glIsList(list));
        DrawSphere(at, kIdentity, 1);
        CHECK(gSphereList == list);
    }
    DeleteSphereList();
    CHECK(gSphereList == 0);
    EndOffscreenGl();
}

static float RasterX()
{
    GLfloat pos[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, pos);
    return pos[0];
}

TEST_CASE("text: drawn with the font's glyphs, bounded, harmless when empty or deleted")
{
    StartTopDownView();
    LoadOverlayFont();
    REQUIRE(gFontGlyphs.size() == size_t(kFontGlyphCount));
    glDisable(GL_LIGHTING);
    glColor3f(1, 1, 1);
    glRasterPos2f(-3.9f, 0);
    float start = RasterX();

    PrintText("%s", "");
    CHECK(RasterX() == start);
    PrintText(nullptr);
    CHECK(RasterX() == start);

    // The caller's unpacking is kept; codes the font lacks draw nothing and do not move on.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
    PrintText("W%d\x7f\x01\xe9", 1);
    GLint alignment;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    CHECK(alignment == 8);
    float afterW1 = RasterX();
    CHECK(afterW1 > start + 10);
    CHECK(CountPixels(0, 30, 40, 20, [](Rgb c) { return c.r == 255; }) > 5);
    glRasterPos2f(-3.9f, 0);
    PrintText("W1\x01\xe9");
    CHECK(RasterX() == afterW1 - gFontGlyphs[0x7f - kFontFirstChar].xmove);

    // A text far beyond the buffer is cut, not written past it.
    glRasterPos2f(-3.9f, 0);
    PrintText("%s", std::string(255, 'i').c_str());
    float cut = RasterX();
    glRasterPos2f(-3.9f, 0);
    PrintText("%s", std::string(5000, 'i').c_str());
    CHECK(RasterX() == cut);

    DeleteBitmapFont();
    CHECK(gFontGlyphs.empty());
    glRasterPos2f(-3.9f, 0);
    PrintText("after");
    CHECK(RasterX() == start);
    glFinish();  // Mesa fails destroying a context that holds text not drawn yet
    EndOffscreenGl();
}
