#pragma once

#include "math/matrix4.h"

extern float gAngle;  // degrees about z of the next frame; grows by 10 a frame

// The model matrix of the frame at `angle` degrees: the mesh turned about z.
Matrix4 FrameModelMatrix(float angle);

// Renders one frame with the mesh turned by `angle` degrees about z and
// returns how long the software rendering took, in seconds from a
// millisecond clock: the time the render-time line shows.
float RenderFrameTimed(float angle);

// RenderFrameTimed, then the render-time line on standard output.
void RenderFrame(float angle);
