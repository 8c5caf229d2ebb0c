#include "render/frame_buffer.h"

#include <algorithm>
#include <cstring>

#include "math/lanes.h"

FrameBuffer::FrameBuffer(int widthArg, int heightArg, Color clearColorArg)
    : width(widthArg),
      height(heightArg),
      pixels(static_cast<std::size_t>(widthArg) * static_cast<std::size_t>(heightArg)),
      clearColor(clearColorArg)
{
    Clear();
}

void FrameBuffer::ClearRows(int top, int bottom)
{
    if (bottom <= top) return;
    // Four cleared pixels are twenty floats, five 16-byte vectors: the rows
    // are written a vector at a time from those five, where a pixel alone
    // takes five stores.
    using Quad = FloatLanes<4>;
    constexpr std::size_t kGroup = 4;
    const Pixel cleared{clearColor, CLEAR_DEPTH};
    Pixel group[kGroup] = {cleared, cleared, cleared, cleared};
    Quad pattern[5];
    static_assert(sizeof pattern == sizeof group, "four pixels are five vectors");
    std::memcpy(pattern, static_cast<const void*>(group), sizeof group);
    Pixel* const first = pixels.data() + Index(0, top);
    const std::size_t count = Index(0, bottom) - Index(0, top);
    const std::size_t whole = count / kGroup * kGroup;
    auto* out = reinterpret_cast<unsigned char*>(first);
    for (std::size_t i = 0; i < whole; i += kGroup, out += sizeof pattern) {
        for (std::size_t k = 0; k < 5; ++k)
            std::memcpy(out + k * sizeof(Quad), &pattern[k], sizeof(Quad));
    }
    std::fill(first + whole, first + count, cleared);
}

std::vector<uint8_t> FrameBuffer::ExportRGB() const
{
    std::vector<uint8_t> rgb(pixels.size() * 3);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const Color& c = pixels[i].color;
        rgb[3 * i] = static_cast<uint8_t>(ChannelToByte(c.r));
        rgb[3 * i + 1] = static_cast<uint8_t>(ChannelToByte(c.g));
        rgb[3 * i + 2] = static_cast<uint8_t>(ChannelToByte(c.b));
    }
    return rgb;
}
