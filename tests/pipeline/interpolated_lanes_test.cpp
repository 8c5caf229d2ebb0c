#include <gtest/gtest.h>

#include <vector>

#include "awkward_floats.h"
#include "pipeline/draw_setup.h"
#include "pipeline/fragment_stage.h"
#include "pipeline/interpolated_lanes.h"
#include "render/frame_buffer.h"
#include "render/render_context.h"

namespace {

Color AwkwardColor(AwkwardFloats& value)
{
    return {value(), value(), value(), value()};
}

// A span's ends and the row it fills: some ends pack alike, some pixels'
// stored depth ties with the fragment's depth exactly.
struct SpanCase {
    PipelineVertex a, b;
    bool coloursDiffer = false;
    bool depthTest = true;
    int n = 2, step = 1;
    StepRange range = {1, 1};
    std::vector<Pixel> row;

    FragmentEnds Ends() const { return {a, b, coloursDiffer}; }
    float T(int i) const { return static_cast<float>(i) / static_cast<float>(n); }
    // Step i's pixel in `pixels`, a copy of the row.
    std::size_t Place(int i) const { return static_cast<std::size_t>(step > 0 ? i : n - i); }
};

SpanCase RandomSpan(AwkwardFloats& value)
{
    SpanCase c;
    c.a.color = AwkwardColor(value);
    c.b.color = value.Below(4) == 0 ? c.a.color : AwkwardColor(value);
    if (value.Below(4) == 0) c.b.color.r = c.a.color.r + 1e-4f;  // most likely packs alike
    c.coloursDiffer = value.Below(8) == 0 || ColorsDiffer(c.a.color, c.b.color);
    c.a.windowPos.z = value();
    c.b.windowPos.z = value.Below(2) ? value() : value.Uniform() * 1000.0f;
    c.depthTest = value.Below(5) != 0;
    c.n = 2 + static_cast<int>(value.Below(40));
    c.step = value.Below(2) ? 1 : -1;
    const int first = 1 + static_cast<int>(value.Below(static_cast<uint32_t>(c.n - 1)));
    c.range = {first,
               first + 1 + static_cast<int>(value.Below(static_cast<uint32_t>(c.n - first)))};
    c.row.resize(static_cast<std::size_t>(c.n + 1));
    const FragmentEnds ends = c.Ends();
    for (int i = 0; i <= c.n; ++i) {
        Pixel& p = c.row[c.Place(i)];
        p.color = AwkwardColor(value);
        p.depth = value.Below(4) == 0 ? ends.Depth(c.T(i)) : value();
    }
    return c;
}

// The row as the frame buffer's own writes leave it, a pixel at a time.
std::vector<Pixel> WrittenAlone(const SpanCase& c)
{
    FrameBuffer buffer(c.n + 1, 1, Color());
    buffer.pixels = c.row;
    const FragmentEnds ends = c.Ends();
    for (int i = c.range.first; i < c.range.end; ++i) {
        const int x = static_cast<int>(c.Place(i));
        if (c.depthTest)
            buffer.WritePixelDepthTested(x, 0, ends.ColorAt(c.T(i)), ends.Depth(c.T(i)));
        else
            buffer.WritePixel(x, 0, ends.ColorAt(c.T(i)));
    }
    return buffer.pixels;
}

// The row written with lanes of `width`; `available` false where there are none.
std::vector<Pixel> WrittenInLanes(const SpanCase& c, int width, bool& available)
{
    std::vector<Pixel> row = c.row;
    Pixel* first = &row[c.Place(c.range.first)];
    available =
        WriteInterpolatedSpanWithLanes(width, c.Ends(), c.depthTest, first, c.step, c.range, c.n);
    return row;
}

// The row as a draw shades it (ShadeSpan), which takes a short span fragment
// by fragment and a longer one in lanes.
std::vector<Pixel> ShadedInADraw(const SpanCase& c, InterpolatedFragments& fragments)
{
    std::vector<Pixel> row = c.row;
    ShadeSpan(fragments, c.Ends(), &row[c.Place(c.range.first)], c.step, c.range, c.n);
    return row;
}

TEST(InterpolatedLanes, SpansInLanesWriteThePixelsTheFrameBufferWritesOneByOne)
{
    AwkwardFloats value(7);
    int compared = 0, nanPayloads = 0;
    for (int trial = 0; trial < 20000; ++trial) {
        const SpanCase c = RandomSpan(value);
        const std::vector<Pixel> reference = WrittenAlone(c);
        for (int width : {4, 8}) {
            bool available = false;
            const std::vector<Pixel> lanes = WrittenInLanes(c, width, available);
            if (!available) continue;  // AVX2 only where the processor has it
            ++compared;
            ASSERT_TRUE(
                SameBitsButNaNs(reference.data(), lanes.data(), reference.size() * 5, nanPayloads))
                << "width " << width << ", trial " << trial << ", steps " << c.range.first << " .. "
                << c.range.end - 1 << " of " << c.n;
        }
    }
    static_assert(sizeof(Pixel) == 5 * sizeof(float), "a pixel is five floats");
    EXPECT_GE(compared, 20000);
    EXPECT_LT(nanPayloads, compared);  // most spans agree in every bit
}

TEST(InterpolatedLanes, ADrawWritesSpansOfEveryLengthAsTheFrameBufferWritesThemOneByOne)
{
    RenderContext context;
    context.Enable(RC_DEPTH_TEST);
    DrawSetup setup(context, Material());
    InterpolatedFragments withTest(setup);
    setup.depthTest = false;
    InterpolatedFragments withoutTest(setup);
    AwkwardFloats value(11);
    int lengths[41] = {}, nanPayloads = 0;
    for (int trial = 0; trial < 20000; ++trial) {
        const SpanCase c = RandomSpan(value);
        const std::vector<Pixel> reference = WrittenAlone(c);
        const std::vector<Pixel> drawn = ShadedInADraw(c, c.depthTest ? withTest : withoutTest);
        ASSERT_TRUE(
            SameBitsButNaNs(reference.data(), drawn.data(), reference.size() * 5, nanPayloads))
            << "trial " << trial << ", steps " << c.range.first << " .. " << c.range.end - 1
            << " of " << c.n;
        ++lengths[c.range.end - c.range.first];
    }
    for (int length = 1; length <= 12; ++length)
        EXPECT_GT(lengths[length], 100) << length;  // short and long spans alike
}

TEST(InterpolatedLanes, NoProcessorLacksTheBaselineLanes)
{
    SpanCase c;
    c.row.resize(3);
    bool available = false;
    WrittenInLanes(c, 4, available);
    EXPECT_TRUE(available);
    WrittenInLanes(c, 3, available);
    EXPECT_FALSE(available);
}

}  // namespace
