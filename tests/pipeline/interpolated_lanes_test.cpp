#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "pipeline/interpolated_lanes.h"
#include "render/frame_buffer.h"

namespace {

// Floats of every kind the arithmetic treats apart: ordinary values, ones
// near 1 (alpha either side of the blend's limit), zeros of both signs,
// denormals, infinities, and NaNs with the default and other payloads.
class AwkwardFloats {
public:
    explicit AwkwardFloats(uint32_t seed) : random(seed) {}

    float operator()()
    {
        switch (random() % 12) {
            case 0:
                return std::numeric_limits<float>::quiet_NaN();
            case 1:
                return FromBits(0x7FC00000u | (random() & 0x3FFFFFu) | 1u);  // another payload
            case 2:
                return random() % 2 ? INFINITY : -INFINITY;
            case 3:
                return random() % 2 ? 0.0f : -0.0f;
            case 4:
                return FromBits(random() & 0x807FFFFFu);  // denormal
            case 5:
                return 1.0f + (Uniform() - 0.5f) * 1e-6f;
            case 6:
                return Uniform() * 4.0f - 2.0f;
            default:
                return Uniform();
        }
    }
    float Uniform() { return std::uniform_real_distribution<float>(0.0f, 1.0f)(random); }
    uint32_t Below(uint32_t n) { return random() % n; }

private:
    std::mt19937 random;

    static float FromBits(uint32_t bits)
    {
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
};

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

// Float for float the same bits, but for the NaN two NaNs give: which of them
// an operation hands on is the processor's choice of operand order, which the
// compiler makes anew for every instruction (IEEE 754 leaves it open). Every
// NaN packs as 255, so no picture can tell them apart.
bool SameBits(const std::vector<Pixel>& x, const std::vector<Pixel>& y, int& nanPayloads)
{
    static_assert(sizeof(Pixel) == 5 * sizeof(float), "a pixel is five floats");
    const std::size_t floats = x.size() * 5;
    std::vector<uint32_t> bx(floats), by(floats);
    std::memcpy(bx.data(), x.data(), floats * sizeof(float));
    std::memcpy(by.data(), y.data(), floats * sizeof(float));
    for (std::size_t i = 0; i < floats; ++i) {
        if (bx[i] == by[i]) continue;
        const bool bothNaN =
            (bx[i] & 0x7FFFFFFFu) > 0x7F800000u && (by[i] & 0x7FFFFFFFu) > 0x7F800000u;
        if (!bothNaN) return false;
        ++nanPayloads;
    }
    return true;
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
            ASSERT_TRUE(SameBits(reference, lanes, nanPayloads))
                << "width " << width << ", trial " << trial << ", steps " << c.range.first << " .. "
                << c.range.end - 1 << " of " << c.n;
        }
    }
    EXPECT_GE(compared, 20000);
    EXPECT_LT(nanPayloads, compared);  // most spans agree in every bit
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
