#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "lighting/color.h"

// Depth of a cleared pixel, and the depth reported outside the buffer.
constexpr float CLEAR_DEPTH = 100000.0f;
// What the depth-tested write takes off the depth it stores: a later fragment
// at the same place must be more than this much nearer to pass again.
constexpr float kDepthWriteOffset = 0.05f;

struct Pixel {
    Color color;
    float depth = CLEAR_DEPTH;
};

// A rectangle of pixels with colour and depth; row 0 is the top row. Copies
// are deep: each buffer owns its own pixel store.
class FrameBuffer {
public:
    int32_t width = 0;
    int32_t height = 0;
    std::vector<Pixel> pixels;  // element y * width + x; empty when default-constructed
    Color clearColor;

    FrameBuffer() = default;
    FrameBuffer(int width, int height, Color clearColor);

    void Clear() { ClearRows(0, height); }
    // Clears rows top .. bottom - 1 alone.
    void ClearRows(int top, int bottom);
    float GetDepth(int x, int y) const
    {
        return Contains(x, y) ? pixels[Index(x, y)].depth : CLEAR_DEPTH;
    }

    bool Contains(int x, int y) const { return x >= 0 && x < width && y >= 0 && y < height; }

    // Alpha-blended colour write, depth untouched; outside the buffer it is dropped.
    void WritePixel(int x, int y, Color c)
    {
        if (Contains(x, y)) Blend(At(x, y), c);
    }
    // Passes only when z is strictly nearer than the stored depth; stores
    // z - kDepthWriteOffset, then blends as WritePixel does.
    void WritePixelDepthTested(int x, int y, Color c, float z)
    {
        if (!Contains(x, y)) return;
        Pixel& p = At(x, y);
        if (StoreDepthIfNearer(p, z)) Blend(p, c);
    }

    // The two writes' steps on a pixel the caller has found inside the
    // buffer: the pipeline writes through these, so that it works out a
    // colour only for fragments that pass.
    Pixel& At(int x, int y) { return pixels[Index(x, y)]; }
    const Pixel& At(int x, int y) const { return pixels[Index(x, y)]; }
    Pixel* Find(int x, int y) { return Contains(x, y) ? &At(x, y) : nullptr; }
    // The strict depth test: only a z nearer than the stored depth passes.
    static bool PassesDepthTest(const Pixel& p, float z) { return p.depth > z; }
    // The depth test's write: true, with z - kDepthWriteOffset stored, when z
    // is nearer than the stored depth; an equal depth or a z that is not a
    // number fails and stores nothing.
    static bool StoreDepthIfNearer(Pixel& p, float z)
    {
        if (!PassesDepthTest(p, z)) return false;
        p.depth = z - kDepthWriteOffset;
        return true;
    }
    // The blend is always on: alpha limited to at most 1, no lower limit.
    static void Blend(Pixel& p, const Color& c) { p.color = Mix(p.color, c, c.ClampedAlpha()); }

    // width x height x 3 bytes, red, green, blue, top row first.
    std::vector<uint8_t> ExportRGB() const;

private:
    std::size_t Index(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(x);
    }
};
