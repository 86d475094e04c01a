#include "render/SceneView.h"

#include "physics/Car.h"
#include "physics/Scene.h"
#include "render/Frustum.h"
#include "render/Overlay.h"
#include "render/Primitives.h"

bool gSkipUnseenShapes = true;

void RenderFrame(const FrameView& view)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    int halfW = view.width / 2, halfH = view.height / 2;
    glViewport(0, halfH, halfW, halfH);
    DrawView(*view.scene, 1, view.cameraMode);
    glViewport(halfW, halfH, halfW, halfH);
    DrawView(*view.scene, 0, view.cameraMode);
    glViewport(0, 0, halfW, halfH);
    DrawView(*view.scene, 2, view.cameraMode);
    glViewport(halfW, 0, halfW, halfH);
    DrawOverlay(*view.scene, view.figures);
}

// The eye at a point given in the car's frame, lifted to a fixed world height.
static void LookFromCar(dBodyID chassis, dReal x, dReal y, double eyeZ, const dReal* centre)
{
    dVector3 eye;
    dBodyGetRelPointPos(chassis, x, y, 35, eye);
    gluLookAt(eye[0], eye[1], eyeZ, centre[0], centre[1], centre[2], 0, 0, 1);
}

static void SetCamera(dBodyID chassis, int cameraMode)
{
    const dReal* p = dBodyGetPosition(chassis);
    switch (cameraMode) {
    case 1:  // chase
        LookFromCar(chassis, -20, 0, 5, p);
        break;
    case 2:  // fixed high point
        gluLookAt(10, 10, 100, p[0], p[1], p[2], 0, 0, 1);
        break;
    case 3:  // far chase
        LookFromCar(chassis, -200, 0, 50, p);
        break;
    case 4:  // beside, from the car's left
        LookFromCar(chassis, 0, 20, 5, p);
        break;
    case 5:  // overhead
        gluLookAt(0, 0, 500, 2, 2, p[2], 0, 0, 1);
        break;
    }
}

static void DrawCar(const Car& car, const Frustum* cull)
{
    glColor3f(0, 0.5f, 0.2f);
    DrawGeomSphere(car.frontLeftWheel.geom, cull);
    DrawGeomSphere(car.frontRightWheel.geom, cull);
    DrawGeomSphere(car.rearLeftWheel.geom, cull);
    DrawGeomSphere(car.rearRightWheel.geom, cull);
    glColor3f(float(car.color[0]), float(car.color[1]), float(car.color[2]));
    DrawBodyBox(car.cabin, cull);
    DrawBodyBox(car.chassis, cull);
    glColor3f(0, 0.4f, 0.8f);
    DrawBodyBox(car.tieRod, cull);
    glColor3f(0.6f, 0, 0.8f);
    DrawBodyBox(car.leftKnuckle, cull);
    glColor3f(0.6f, 0.4f, 0.4f);
    DrawBodyBox(car.rightKnuckle, cull);
}

void DrawView(const Scene& scene, int k, int cameraMode)
{
    glLoadIdentity();
    SetCamera(scene.cars[k].chassis.body, cameraMode);
    const Frustum volume = ReadViewFrustum();
    const Frustum* cull = gSkipUnseenShapes ? &volume : nullptr;
    DrawAxes();
    DrawGrid();
    // The ramps take the grid's green; ramp 1 is drawn again in yellow over itself, which the
    // less-or-equal depth test lets through.
    DrawGeomBox(scene.ramp1, cull);
    DrawGeomBox(scene.ramp2, cull);
    glColor3f(0, 1, 0);
    DrawGeomSphere(scene.ball.geom, cull);
    glColor3f(1, 1, 0);
    DrawGeomBox(scene.ramp1, cull);
    glColor3f(0.1f, 0.1f, 0.5f);
    for (const BodyGeom& post : scene.posts)
        DrawBodyBox(post, cull);
    DrawBodyBox(scene.plate, cull);
    for (const Car& car : scene.cars)
        DrawCar(car, cull);
    glColor3f(0.2f, 0.1f, 0.4f);
    DrawBodyBox(scene.table.top, cull);
    DrawBodyBox(scene.table.flap, cull);
    for (const BodyGeom& leg : scene.table.legs)
        DrawBodyBox(leg, cull);
}

void DrawAxes()
{
    glLineWidth(5);
    glColor3f(1, 0, 0);
    glBegin(GL_LINES);
    glVertex2f(-2000, 0);
    glVertex2f(2000, 0);
    glEnd();
    glColor3f(1, 1, 0);
    glBegin(GL_LINES);
    glVertex2f(0, -2000);
    glVertex2f(0, 2000);
    glEnd();
    glColor3f(0, 0, 1);
    glBegin(GL_LINES);
    glVertex3f(0, 0, -2000);
    glVertex3f(0, 0, 2000);
    glEnd();
}

void DrawGrid()
{
    glLineWidth(1);
    glColor3f(0, 1, 0);
    // One batch of lines: each segment is drawn as it would be on its own, at one draw call's cost.
    glBegin(GL_LINES);
    for (float v = -2000; v <= 2000; v += 50) {
        glVertex3f(-2000, v, 0);
        glVertex3f(2000, v, 0);
        glVertex3f(v, -2000, 0);
        glVertex3f(v, 2000, 0);
    }
    glEnd();
}
