#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/rgb_image.h"

// Binary PPM ("P6", maximum value 255): a short text header, then the bytes.
std::vector<uint8_t> EncodePpm(const RgbImage& image);

// Binary PPM with maximum value 255 only. On failure returns false and says
// why in `error`.
bool DecodePpm(const std::vector<uint8_t>& bytes, RgbImage* image, std::string* error);
