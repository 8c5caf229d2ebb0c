#include "lighting/color.h"

void Color::SetBytes(int32_t red, int32_t green, int32_t blue, int32_t alpha)
{
    r = static_cast<float>(red) * kByteScale;
    g = static_cast<float>(green) * kByteScale;
    b = static_cast<float>(blue) * kByteScale;
    a = static_cast<float>(alpha) * kByteScale;
}

void Color::SetARGB(uint32_t argb)
{
    b = static_cast<float>(argb & 0xFFu) * kByteScale;
    g = static_cast<float>((argb >> 8) & 0xFFu) * kByteScale;
    r = static_cast<float>((argb >> 16) & 0xFFu) * kByteScale;
    a = static_cast<float>(argb >> 24) * kByteScale;
}
