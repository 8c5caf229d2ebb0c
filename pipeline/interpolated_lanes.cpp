#include "pipeline/interpolated_lanes.h"

#include "pipeline/interpolated_write.h"

namespace {

using SpanWriter = void (*)(const FragmentEnds&, bool, Pixel*, int, StepRange, int);

template <int W>
void WriteSpanIn(const FragmentEnds& ends, bool depthTest, Pixel* first, int step, StepRange range,
                 int n)
{
    if (ends.coloursDiffer)
        WriteInterpolatedSpan<W, true>(ends, depthTest, first, step, range, n);
    else
        WriteInterpolatedSpan<W, false>(ends, depthTest, first, step, range, n);
}

FOUR_LANES_FUNCTION void WriteSpanIn4Lanes(const FragmentEnds& ends, bool depthTest, Pixel* first,
                                           int step, StepRange range, int n)
{
    WriteSpanIn<4>(ends, depthTest, first, step, range, n);
}

EIGHT_LANES_FUNCTION void WriteSpanIn8Lanes(const FragmentEnds& ends, bool depthTest, Pixel* first,
                                            int step, StepRange range, int n)
{
    WriteSpanIn<8>(ends, depthTest, first, step, range, n);
}

constexpr LaneVariants<SpanWriter> kWriters{WriteSpanIn4Lanes, WriteSpanIn8Lanes};

}  // namespace

void WriteInterpolatedSpan(const FragmentEnds& ends, bool depthTest, Pixel* first, int step,
                           StepRange range, int n)
{
    static const SpanWriter kWriter = kWriters.OfWidth(WidestLanes());
    kWriter(ends, depthTest, first, step, range, n);
}

bool WriteInterpolatedSpanWithLanes(int width, const FragmentEnds& ends, bool depthTest,
                                    Pixel* first, int step, StepRange range, int n)
{
    return kWriters.Call(width, ends, depthTest, first, step, range, n);
}
