#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "render/rgb_image.h"

// An 8-bit picture with alpha: red, green, blue, alpha per pixel, top row first.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;  // width x height x 4 bytes
};

std::vector<uint8_t> EncodePng(const RgbImage& image);

// Any PNG the library reads (every colour type, 1 to 16 bits a sample) of at
// most 4096 x 4096 pixels, converted to 8 bits a sample: 16-bit samples are
// rounded, a palette is looked up, grey is repeated in red, green and blue. A
// file that states a gamma other than the usual 1/2.2 is converted to it. On
// failure returns false and says why in `error`.
bool DecodePng(const std::vector<uint8_t>& bytes, RgbImage* image, std::string* error);
// The same with alpha kept (255 where the file has none, from the
// transparency chunk for palette and colour-keyed files), read from an open
// file at its read position: the signature is checked first, and the file is
// read only as far as the picture goes, never held whole in memory.
bool DecodePngRgba(std::FILE* file, RgbaImage* image, std::string* error);
