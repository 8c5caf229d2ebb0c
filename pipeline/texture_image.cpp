#include "pipeline/texture_image.h"

#include <cmath>
#include <utility>

TextureImage::TextureImage(int widthArg, int heightArg, std::vector<Color> texelsArg)
    : width(widthArg), height(heightArg), texels(std::move(texelsArg))
{
    if (width <= 0 || height <= 0 ||
        texels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        width = height = 0;
        texels.clear();
    }
}

namespace {

// Negative coordinates are mirrored about 0, then repeat with period 1; for a
// finite coordinate the result lies in [0, 1).
float Wrap(float c)
{
    return std::fmod(std::fabs(c), 1.0f);
}

}  // namespace

Color TextureImage::Sample(float s, float t) const
{
    if (texels.empty()) return Color();
    // A coordinate that is not finite has no place on the image: take texel (0, 0).
    if (!std::isfinite(s) || !std::isfinite(t)) return texels[0];
    // Scaled by width - 1 and truncated, so the last column and row are never
    // reached from a finite coordinate: the index stays inside the image.
    const int column = static_cast<int>(static_cast<float>(width - 1) * Wrap(s));
    const int row = static_cast<int>(static_cast<float>(height - 1) * Wrap(t));
    return texels[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(column)];
}
