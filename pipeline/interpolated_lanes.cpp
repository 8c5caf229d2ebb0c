#include "pipeline/interpolated_lanes.h"

#include "pipeline/interpolated_write.h"

namespace {

using SpanWriter = void (*)(const FragmentEnds&, bool, Pixel*, int, StepRange, int);

// Each writer inlines every call it makes (flatten): lanes are never passed
// to a function compiled apart, whose convention for them could differ.
__attribute__((flatten)) void WriteSpanIn4Lanes(const FragmentEnds& ends, bool depthTest,
                                                Pixel* first, int step, StepRange range, int n)
{
    if (ends.coloursDiffer)
        WriteInterpolatedSpan<4, true>(ends, depthTest, first, step, range, n);
    else
        WriteInterpolatedSpan<4, false>(ends, depthTest, first, step, range, n);
}

#if defined(__x86_64__)
// Compiled for AVX2, and called only where the processor has it.
__attribute__((target("avx2"), flatten)) void WriteSpanIn8LanesAvx2(const FragmentEnds& ends,
                                                                    bool depthTest, Pixel* first,
                                                                    int step, StepRange range,
                                                                    int n)
{
    if (ends.coloursDiffer)
        WriteInterpolatedSpan<8, true>(ends, depthTest, first, step, range, n);
    else
        WriteInterpolatedSpan<8, false>(ends, depthTest, first, step, range, n);
}
#endif

// The writer with lanes of `width`, or null where there is none.
SpanWriter WriterOfWidth(int width)
{
    if (width == 4) return WriteSpanIn4Lanes;
#if defined(__x86_64__)
    if (width == 8 && WidestLanes() == 8) return WriteSpanIn8LanesAvx2;
#endif
    return nullptr;
}

}  // namespace

void WriteInterpolatedSpan(const FragmentEnds& ends, bool depthTest, Pixel* first, int step,
                           StepRange range, int n)
{
    static const SpanWriter kWriter = WriterOfWidth(WidestLanes());
    kWriter(ends, depthTest, first, step, range, n);
}

bool WriteInterpolatedSpanWithLanes(int width, const FragmentEnds& ends, bool depthTest,
                                    Pixel* first, int step, StepRange range, int n)
{
    const SpanWriter writer = WriterOfWidth(width);
    if (writer == nullptr) return false;
    writer(ends, depthTest, first, step, range, n);
    return true;
}
