#include "make_teapot/vertex_paint.h"

#include <cmath>

namespace {

// A fully saturated hue, 0 .. 1 around the colour wheel from red, as red,
// green and blue in 0 .. 1.
std::array<double, 3> Hue(double h)
{
    std::array<double, 3> rgb;
    for (int i = 0; i < 3; ++i) {
        // Each channel is a triangle wave, a third of the wheel apart.
        const double d = std::fabs(std::fmod(h * 6.0 + 4.0 * i, 6.0) - 3.0);
        rgb[static_cast<std::size_t>(i)] = std::fmin(std::fmax(d - 1.0, 0.0), 1.0);
    }
    return rgb;
}

}  // namespace

std::array<uint8_t, 3> PaintedColor(const MeshVertex& vertex)
{
    // Red up to z = 0.5, through the rainbow to violet at the rim (z = 2.4)
    // and above.
    const double height = std::fmin(std::fmax((vertex.z - 0.5) / 1.9, 0.0), 1.0);
    const std::array<double, 3> hue = Hue(0.8 * height);
    // Twelve stripes around the vertical axis, pale where the cosine is low,
    // mixed smoothly between.
    const double stripe = 0.5 + 0.5 * std::cos(12.0 * std::atan2(vertex.y, vertex.x));
    const double pale = 0.7 * (1.0 - stripe);
    std::array<uint8_t, 3> bytes;
    for (std::size_t i = 0; i < 3; ++i)
        bytes[i] = static_cast<uint8_t>(std::lround(255.0 * (hue[i] + (1.0 - hue[i]) * pale)));
    return bytes;
}
