#include "pipeline/texture_file.h"

#include <cstddef>
#include <utility>
#include <vector>

#include "render/image_file.h"
#include "render/png_codec.h"

namespace {

// Texels of an 8-bit RGBA picture whose first row is the top one.
std::vector<Color> TexelsBottomRowFirst(const RgbaImage& image)
{
    const std::size_t width = static_cast<std::size_t>(image.width);
    const std::size_t height = static_cast<std::size_t>(image.height);
    std::vector<Color> texels(width * height);
    for (std::size_t row = 0; row < height; ++row)
        for (std::size_t column = 0; column < width; ++column) {
            const uint8_t* s = &image.rgba[4 * ((height - 1 - row) * width + column)];
            texels[row * width + column].SetBytes(s[0], s[1], s[2], s[3]);
        }
    return texels;
}

}  // namespace

bool ReadTexture(const std::string& path, TextureImage* texture, std::string* error)
{
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, &bytes, error)) return false;
    RgbaImage image;
    std::string reason;
    if (!DecodePngRgba(bytes, &image, &reason)) {
        *error = path + ": " + reason;
        return false;
    }
    *texture = TextureImage(image.width, image.height, TexelsBottomRowFirst(image));
    return true;
}
