#include "render/frame_buffer.h"

FrameBuffer::FrameBuffer(int widthArg, int heightArg, Color clearColorArg)
    : width(widthArg),
      height(heightArg),
      pixels(static_cast<std::size_t>(widthArg) * static_cast<std::size_t>(heightArg)),
      clearColor(clearColorArg)
{
    Clear();
}

void FrameBuffer::Clear()
{
    for (Pixel& p : pixels) {
        p.color = clearColor;
        p.depth = CLEAR_DEPTH;
    }
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
