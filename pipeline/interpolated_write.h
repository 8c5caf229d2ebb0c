#pragma once

// The interpolated kind's write of a span: the parameter t = i / n and the
// depth (1 - t) za + t zb of several pixels at once, one a lane
// (math/lanes.h), each lane taking exactly one pixel's operations; then,
// pixel by pixel in order, the depth test, the colour and the blend as the
// frame buffer's writes do them, each on a colour's four channels at once.
// Pixels are five floats, so lanes of pixels would have to be gathered and
// scattered a float at a time: measured, that costs more than it saves.
#include <algorithm>
#include <cstring>

#include "math/lanes.h"
#include "pipeline/edge_steps.h"
#include "pipeline/fragment_ends.h"
#include "render/frame_buffer.h"

// A colour's four channels as one vector: each operation on them is the
// Color operation of the same name on every channel.
using Channels = FloatLanes<4>;
static_assert(sizeof(Color) == sizeof(Channels), "a colour is four floats");

inline Channels ChannelsOf(const Color& c)
{
    Channels v;
    std::memcpy(&v, &c, sizeof v);
    return v;
}
// Mix(c1, c2, t): (c2 t) + (c1 s), s = 1 - t.
inline Channels MixChannels(Channels c1, Channels c2, float t)
{
    const float s = 1.0f - t;
    return (c2 * t) + (c1 * s);
}

// The pixels of steps first .. first + count - 1 (count at most W), at t and
// depth z, lane k for step first + k: the depth test, the colour (the ends'
// mixed, kMix, or a's), the blend by its alpha limited to at most 1.
template <int W, bool kMix>
void WriteInterpolatedLanes(Channels colorA, Channels colorB, bool depthTest, Pixel* pixel,
                            int step, FloatLanes<W> t, FloatLanes<W> z, int count)
{
    for (int k = 0; k < count; ++k, pixel += step) {
        if (depthTest && !FrameBuffer::StoreDepthIfNearer(*pixel, z[k])) continue;
        const Channels c = kMix ? MixChannels(colorA, colorB, t[k]) : colorA;
        const Channels blended = MixChannels(ChannelsOf(pixel->color), c, LimitAlpha(c[3]));
        pixel->color = Color(blended[0], blended[1], blended[2], blended[3]);
    }
}

// Writes steps `range` of a span of n steps, W at a time: step i's pixel is
// first + (i - range.first) step. The ends' colours are mixed only where they
// differ at 8 bits (FragmentEnds::ColorAt).
template <int W, bool kMix>
void WriteInterpolatedSpan(const FragmentEnds& ends, bool depthTest, Pixel* pixel, int step,
                           StepRange range, int n)
{
    using F = FloatLanes<W>;
    // Copied: the pixel writes could alias the ends.
    const Channels colorA = ChannelsOf(ends.colorA), colorB = ChannelsOf(ends.colorB);
    const F steps = Broadcast<F>(static_cast<float>(n));
    for (int i = range.first; i < range.end; i += W, pixel += W * step) {
        const F t = CountingFrom<F>(i) / steps;
        const F z = ends.Depth(t);
        const int count = std::min(range.end - i, W);
        WriteInterpolatedLanes<W, kMix>(colorA, colorB, depthTest, pixel, step, t, z, count);
    }
}
