#pragma once

#include <string>

#include "render/rgb_image.h"

// Writes `image` as PNG under the first free name `stem`-0001.png ..
// `stem`-9999.png and returns that name; "" with `error` saying why when no
// name is free or the picture cannot be written. The name is taken by
// creating the file exclusively, so that programs saving at once never take
// the same one, and the picture is written whole over it (WriteImage); a
// failed write leaves no file of that name behind.
std::string WriteNumberedPicture(const std::string& stem, const RgbImage& image,
                                 std::string* error);

// `stem`-NNNN.png for a number from 1 to 9999.
std::string NumberedPictureName(const std::string& stem, int number);
