#include "render/Frustum.h"

#include <cmath>

#include "gl/Gl.h"

Frustum ReadViewFrustum()
{
    GLdouble projection[16], modelView[16], m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            double sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += projection[k * 4 + r] * modelView[c * 4 + k];
            m[c * 4 + r] = sum;
        }
    // Clip space's -w <= x, y, z <= w, each as a plane of the world (rows of the combined matrix).
    Frustum frustum;
    for (int i = 0; i < 6; ++i) {
        const int row = i / 2;
        const double sign = i % 2 ? -1 : 1;
        double* plane = frustum.planes[i];
        for (int c = 0; c < 4; ++c)
            plane[c] = m[c * 4 + 3] + sign * m[c * 4 + row];
        const double length = std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
        for (int c = 0; c < 4; ++c)
            plane[c] /= length;
    }
    return frustum;
}

bool IsSphereOutside(const Frustum& frustum, const dReal* centre, double radius)
{
    // A margin well beyond the rounding of the matrices and of GL's own clipping.
    const double reach = radius * 1.01 + 0.01;
    for (const double* plane : frustum.planes)
        if (plane[0] * centre[0] + plane[1] * centre[1] + plane[2] * centre[2] + plane[3] < -reach)
            return true;
    return false;
}
