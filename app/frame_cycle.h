#pragma once

#include "math/matrix4.h"

class DrawObserver;

extern float gAngle;  // degrees about z of the next frame; grows by 10 a frame

// The model matrix of the frame at `angle` degrees: the mesh turned about z.
Matrix4 FrameModelMatrix(float angle);

// Renders one frame with the mesh turned by `angle` degrees about z and
// returns how long the software rendering took, in seconds from a
// millisecond clock: the time the render-time line shows. With an
// `observer` (of the frame buffer's size) the frame is drawn observed: the
// same frame, with what the pipeline did counted in the observer.
float RenderFrameTimed(float angle, DrawObserver* observer = nullptr);

// RenderFrameTimed, then the render-time line on standard output.
void RenderFrame(float angle, DrawObserver* observer = nullptr);
