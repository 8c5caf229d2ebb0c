#pragma once

#include "lighting/color.h"
#include "math/vector4.h"

// One corner, edge-list entry or fragment on its way through the pipeline.
struct PipelineVertex {
    Vector4 position;   // object space as fetched; world space after the triangle stage
    Vector4 windowPos;  // window x, y (whole pixels), depth = clip z, clip w
    Vector3 normal;     // object space as fetched; world space when lighting is on
    Vector4 texCoord;   // (s, t, 0, 1)
    Color color;        // fetched colour, then the lit or final written colour
};

inline void SwapVertices(PipelineVertex& a, PipelineVertex& b)
{
    const PipelineVertex temporary = a;
    a = b;
    b = temporary;
}
