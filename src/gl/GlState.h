// The fixed GL state every drawing relies on, and the perspective projection.
#pragma once

// Smooth shading, black clear colour, less-or-equal depth test, light 0 with colour material.
bool InitRenderState();
// Viewport over the whole window and the 45-degree projection; a height of 0 is taken as 1. Leaves
// the model-view matrix current and at the identity.
void ResizeViewport(int width, int height);
