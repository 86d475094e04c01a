#include "gl/GlErrors.h"

#include "gl/Gl.h"

int TakeGlErrors(unsigned* first)
{
    *first = 0;
    int count = 0;
    // A context that is lost can keep answering with an error; a GL has few error flags.
    for (GLenum error; count < 16 && (error = glGetError()) != GL_NO_ERROR; ++count)
        if (!*first)
            *first = error;
    return count;
}
