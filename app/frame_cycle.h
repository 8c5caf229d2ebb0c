#pragma once

extern float gAngle;  // degrees about z of the next frame; grows by 10 a frame

// Renders one frame with the mesh turned by `angle` degrees about z and
// prints how long the software rendering took.
void RenderFrame(float angle);
