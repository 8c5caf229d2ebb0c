#pragma once

#include "pipeline/edge_steps.h"
#include "pipeline/fragment_ends.h"

struct Pixel;

// The pixel writes of steps `range` of a span of the interpolated kind, n
// steps from `ends.a` to `ends.b`, step i's pixel being first + (i -
// range.first) step: done several pixels at a time with the widest lanes
// this processor has, as each pixel alone would be.
void WriteInterpolatedSpan(const FragmentEnds& ends, bool depthTest, Pixel* first, int step,
                           StepRange range, int n);

// The same with lanes of `width`: 4 (SSE2, every x86-64) or 8 (AVX2, only
// where the processor has it); false, with nothing written, for a width
// this build or processor lacks. For tests.
bool WriteInterpolatedSpanWithLanes(int width, const FragmentEnds& ends, bool depthTest,
                                    Pixel* first, int step, StepRange range, int n);
