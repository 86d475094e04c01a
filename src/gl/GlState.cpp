#include "gl/GlState.h"

#include "gl/Gl.h"

bool InitRenderState()
{
    glShadeModel(GL_SMOOTH);
    glClearColor(0, 0, 0, 0.5f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    // Light 0 at its defaults shines from the viewer; only the current colour varies.
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    return true;
}

void ResizeViewport(int width, int height)
{
    if (height == 0)
        height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45, double(width) / double(height), double(0.1f), 1500);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
