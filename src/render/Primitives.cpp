#include "render/Primitives.h"

#include <cmath>

#include "physics/Scene.h"
#include "render/Frustum.h"

GLuint gSphereList;
static const int gSphereQuality = 1;  // subdivision depth of the sphere mesh

constexpr float kIcoX = 0.525731112119133606f;
constexpr float kIcoZ = 0.850650808352039932f;

static const float kIcosahedronVertices[12][3] = {
    {-kIcoX, 0, kIcoZ}, {kIcoX, 0, kIcoZ},  {-kIcoX, 0, -kIcoZ}, {kIcoX, 0, -kIcoZ},
    {0, kIcoZ, kIcoX},  {0, kIcoZ, -kIcoX}, {0, -kIcoZ, kIcoX},  {0, -kIcoZ, -kIcoX},
    {kIcoZ, kIcoX, 0},  {-kIcoZ, kIcoX, 0}, {kIcoZ, -kIcoX, 0},  {-kIcoZ, -kIcoX, 0},
};

static const int kIcosahedronFaces[20][3] = {
    {0, 4, 1},  {0, 9, 4},  {9, 5, 4},  {4, 5, 8},  {4, 8, 1},  {8, 10, 1}, {8, 3, 10},
    {5, 3, 8},  {5, 2, 3},  {2, 7, 3},  {7, 10, 3}, {7, 6, 10}, {7, 11, 6}, {11, 0, 6},
    {0, 1, 6},  {6, 1, 10}, {9, 0, 11}, {9, 11, 2}, {9, 2, 5},  {7, 2, 11},
};

void PushBodyTransform(const dReal* p, const dReal* r)
{
    const GLfloat m[16] = {
        GLfloat(r[0]), GLfloat(r[4]), GLfloat(r[8]), 0,
        GLfloat(r[1]), GLfloat(r[5]), GLfloat(r[9]), 0,
        GLfloat(r[2]), GLfloat(r[6]), GLfloat(r[10]), 0,
        GLfloat(p[0]), GLfloat(p[1]), GLfloat(p[2]), 1,
    };
    glPushMatrix();
    glMultMatrixf(m);
}

// A box as a strip round its four sides and a fan on each end: corners as multiples of the half
// sides, each with the normal of its face. Drawn from arrays as the triangles the strip and the fans
// make, each with its corners in the order GL takes them from a strip or a fan: one draw and ten GL
// calls a box, where one vertex at a time took three draws and forty calls, and the same pixels.
constexpr int kBoxCorners = 10 + 4 + 4;  // the strip's, and each fan's
static const signed char kBoxCornerSigns[kBoxCorners][3] = {
    {-1, -1, -1}, {-1, -1, 1}, {-1, 1, -1}, {-1, 1, 1}, {1, 1, -1},  {1, 1, 1},
    {1, -1, -1},  {1, -1, 1},  {-1, -1, -1}, {-1, -1, 1},                        // the sides
    {-1, -1, 1},  {1, -1, 1},  {1, 1, 1},   {-1, 1, 1},                          // the +z end
    {-1, -1, -1}, {-1, 1, -1}, {1, 1, -1},  {1, -1, -1},                         // the -z end
};
static const GLubyte kBoxTriangles[] = {
    0,  1,  2,  2,  1,  3,  2,  3,  4,  4,  3,  5,  4,  5,  6,  6,  5,  7,  6,  7,  8,  8,  7,  9,  // strip
    10, 11, 12, 10, 12, 13,                                                                      // fan
    14, 15, 16, 14, 16, 17,                                                                      // fan
};
static const GLfloat kBoxNormals[kBoxCorners][3] = {
    {-1, 0, 0}, {-1, 0, 0}, {-1, 0, 0}, {-1, 0, 0}, {0, 1, 0},  {0, 1, 0},
    {1, 0, 0},  {1, 0, 0},  {0, -1, 0}, {0, -1, 0},
    {0, 0, 1},  {0, 0, 1},  {0, 0, 1},  {0, 0, 1},
    {0, 0, -1}, {0, 0, -1}, {0, 0, -1}, {0, 0, -1},
};

static bool IsOutside(const Frustum* cull, const dReal* centre, double radius)
{
    return cull && IsSphereOutside(*cull, centre, radius);
}

void DrawBox(const dReal* position, const dReal* rotation, const dReal* sides, const Frustum* cull)
{
    const double halfDiagonal = 0.5 * std::sqrt(double(sides[0]) * sides[0] + double(sides[1]) * sides[1] +
                                                double(sides[2]) * sides[2]);
    if (IsOutside(cull, position, halfDiagonal)) {
        glNormal3f(0, 0, -1);  // as a drawn box leaves it: lit lines drawn later take it
        return;
    }
    PushBodyTransform(position, rotation);
    const float half[3] = {float(sides[0]) * 0.5f, float(sides[1]) * 0.5f, float(sides[2]) * 0.5f};
    GLfloat corners[kBoxCorners][3];
    for (int i = 0; i < kBoxCorners; ++i)
        for (int k = 0; k < 3; ++k)
            corners[i][k] = kBoxCornerSigns[i][k] < 0 ? -half[k] : half[k];

    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, corners);
    glNormalPointer(GL_FLOAT, 0, kBoxNormals);
    glDrawElements(GL_TRIANGLES, GLsizei(sizeof kBoxTriangles), GL_UNSIGNED_BYTE, kBoxTriangles);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    // Left as drawing the last face one vertex at a time left it, for whatever draws next.
    glNormal3f(0, 0, -1);

    glPopMatrix();
}

static void EmitCorner(const float* p)
{
    glNormal3f(p[0], p[1], p[2]);  // on the unit sphere the normal is the position
    glVertex3f(p[0], p[1], p[2]);
}

static void SetUnitMidpoint(const float* a, const float* b, float* m)
{
    for (int i = 0; i < 3; ++i)
        m[i] = (a[i] + b[i]) * 0.5f;
    float scale = 1 / std::sqrt(m[0] * m[0] + m[1] * m[1] + m[2] * m[2]);
    for (int i = 0; i < 3; ++i)
        m[i] *= scale;
}

static void SubdivideTriangle(const float* p1, const float* p2, const float* p3, int depth)
{
    if (depth <= 0) {
        EmitCorner(p1);
        EmitCorner(p2);
        EmitCorner(p3);
        return;
    }
    float m12[3], m23[3], m31[3];
    SetUnitMidpoint(p1, p2, m12);
    SetUnitMidpoint(p2, p3, m23);
    SetUnitMidpoint(p3, p1, m31);
    SubdivideTriangle(p1, m12, m31, depth - 1);
    SubdivideTriangle(m12, p2, m23, depth - 1);
    SubdivideTriangle(m12, m23, m31, depth - 1);
    SubdivideTriangle(m31, m23, p3, depth - 1);
}

static void CompileSphereList()
{
    gSphereList = glGenLists(1);
    glNewList(gSphereList, GL_COMPILE);
    glBegin(GL_TRIANGLES);
    for (const int* face : kIcosahedronFaces)
        SubdivideTriangle(kIcosahedronVertices[face[2]], kIcosahedronVertices[face[1]],
                          kIcosahedronVertices[face[0]], gSphereQuality);
    glEnd();
    glEndList();
}

void DrawSphere(const dReal* position, const dReal* rotation, dReal radius, const Frustum* cull)
{
    // Nothing drawn after a sphere takes the normal its last corner leaves, so skipping one is safe.
    if (IsOutside(cull, position, double(radius)))
        return;
    // The unit mesh is scaled, so its normals must be renormalised to light correctly.
    glEnable(GL_NORMALIZE);
    glShadeModel(GL_SMOOTH);
    PushBodyTransform(position, rotation);
    glScaled(double(radius), double(radius), double(radius));
    if (gSphereList == 0)
        CompileSphereList();
    glCallList(gSphereList);
    glPopMatrix();
    glDisable(GL_NORMALIZE);
}

void DeleteSphereList()
{
    if (gSphereList)
        glDeleteLists(gSphereList, 1);
    gSphereList = 0;
}

void DrawBodyBox(const BodyGeom& box, const Frustum* cull)
{
    dVector3 sides;
    dGeomBoxGetLengths(box.geom, sides);
    DrawBox(dBodyGetPosition(box.body), dBodyGetRotation(box.body), sides, cull);
}

void DrawGeomBox(dGeomID box, const Frustum* cull)
{
    dVector3 sides;
    dGeomBoxGetLengths(box, sides);
    DrawBox(dGeomGetPosition(box), dGeomGetRotation(box), sides, cull);
}

void DrawGeomSphere(dGeomID sphere, const Frustum* cull)
{
    DrawSphere(dGeomGetPosition(sphere), dGeomGetRotation(sphere), dGeomSphereGetRadius(sphere), cull);
}
