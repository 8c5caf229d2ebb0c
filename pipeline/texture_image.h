#pragma once

#include <vector>

#include "lighting/color.h"

// A texture: width x height texels, row-major, row 0 first.
class TextureImage {
public:
    int width = 0;
    int height = 0;
    std::vector<Color> texels;  // element row * width + column

    TextureImage() = default;
    TextureImage(int width, int height, std::vector<Color> texels);

    // Nearest texel, mirrored about 0 and repeated with period 1.
    Color Sample(float s, float t) const;
};
