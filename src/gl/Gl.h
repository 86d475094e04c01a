// OpenGL 1.1 and GLU. On Windows <GL/gl.h> needs the calling-convention macros of <windows.h>,
// which the Windows build supplies on its command line instead of through an operating-system header.
#pragma once
#include <GL/gl.h>
#include <GL/glu.h>
