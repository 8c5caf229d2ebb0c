#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/rgb_image.h"

// Writes PNG or PPM as the file name's extension says. The bytes go to a new
// temporary file of a unique name beside it that is renamed over `path` only
// when complete, so a failed write never leaves a truncated picture and the
// temporary is removed. Only a regular file is replaced. On failure returns
// false and `error` names the file and the reason.
bool WriteImage(const std::string& path, const RgbImage& image, std::string* error);

// Reads PNG or PPM as the file name's extension says.
bool ReadImage(const std::string& path, RgbImage* image, std::string* error);

// Appends the whole file to `bytes`. On failure returns false and `error`
// names the file and the reason.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* error);
