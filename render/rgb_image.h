#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// An 8-bit RGB picture, red, green, blue per pixel, top row first: the layout
// of FrameBuffer::ExportRGB.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // width x height x 3 bytes
};

enum class ImageFormat { kPng, kPpm };

// The format a file name asks for by its extension (".png" or ".ppm", any
// letter case); none for any other name.
std::optional<ImageFormat> ImageFormatFor(const std::string& path);
