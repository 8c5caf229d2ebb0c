#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/rgb_image.h"

std::vector<uint8_t> EncodePng(const RgbImage& image);

// Any PNG the library reads, converted to 8-bit RGB. On failure returns false
// and says why in `error`.
bool DecodePng(const std::vector<uint8_t>& bytes, RgbImage* image, std::string* error);
