#pragma once

#include "math/matrix4.h"

extern float gAngle;  // degrees about z of the next frame; grows by 10 a frame

// The model matrix of the frame at `angle` degrees: the mesh turned about z.
Matrix4 FrameModelMatrix(float angle);

// Renders one frame with the mesh turned by `angle` degrees about z and
// prints how long the software rendering took.
void RenderFrame(float angle);
