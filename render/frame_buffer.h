#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "lighting/color.h"

// Depth of a cleared pixel, and the depth reported outside the buffer.
constexpr float CLEAR_DEPTH = 100000.0f;

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

    void Clear();
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
    // Passes only when z is strictly nearer than the stored depth; stores z - 0.05,
    // so a later fragment must be more than 0.05 nearer to pass again.
    void WritePixelDepthTested(int x, int y, Color c, float z)
    {
        if (!Contains(x, y)) return;
        Pixel& p = At(x, y);
        if (PassDepthTest(p, z)) Blend(p, c);
    }

    // The same two steps on a pixel the caller has found, so that the fragment
    // stage works out a colour only for fragments that pass.
    Pixel& At(int x, int y) { return pixels[Index(x, y)]; }  // inside the buffer
    const Pixel& At(int x, int y) const { return pixels[Index(x, y)]; }
    Pixel* Find(int x, int y) { return Contains(x, y) ? &At(x, y) : nullptr; }
    static bool WouldPassDepthTest(const Pixel& p, float z) { return p.depth > z; }
    static bool PassDepthTest(Pixel& p, float z)
    {
        if (!WouldPassDepthTest(p, z)) return false;
        p.depth = z - 0.05f;
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
