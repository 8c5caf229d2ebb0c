#pragma once

#include <cstdint>

#include "pipeline/triangle_stage.h"

class CornerFetch;
struct DrawSetup;

// Vertices first .. end - 1, as `fetch` fetches them, projected into out[0 ..
// end - first - 1]: each exactly as TriangleStage::ProjectCorner projects it,
// several vertices at a time with the widest lanes this processor has.
void ProjectVertexRange(const DrawSetup& setup, const CornerFetch& fetch, int32_t first,
                        int32_t end, ProjectedCorner* out);

// The same with lanes of `width`: 4 (SSE2, every x86-64) or 8 (AVX2, only
// where the processor has it); false, with nothing projected, for a width
// this build or processor lacks. For tests.
bool ProjectVertexRangeWithLanes(int width, const DrawSetup& setup, const CornerFetch& fetch,
                                 int32_t first, int32_t end, ProjectedCorner* out);
