#include "render/ppm_codec.h"

#include <cctype>

namespace {

constexpr int kMaxPpmSide = 1 << 15;  // refuses absurd headers before allocating

// Reads the next decimal header field, passing over whitespace and comments;
// returns -1 when there is none or it is out of range.
int ReadHeaderNumber(const std::vector<uint8_t>& bytes, std::size_t& pos)
{
    while (pos < bytes.size() && (std::isspace(bytes[pos]) || bytes[pos] == '#')) {
        if (bytes[pos] == '#')
            while (pos < bytes.size() && bytes[pos] != '\n')
                ++pos;
        else
            ++pos;
    }
    int value = -1;
    for (; pos < bytes.size() && std::isdigit(bytes[pos]); ++pos) {
        value = (value < 0 ? 0 : value * 10) + (bytes[pos] - '0');
        if (value > kMaxPpmSide) return -1;
    }
    return value;
}

}  // namespace

std::vector<uint8_t> EncodePpm(const RgbImage& image)
{
    const std::string header =
        "P6\n" + std::to_string(image.width) + " " + std::to_string(image.height) + "\n255\n";
    std::vector<uint8_t> bytes(header.begin(), header.end());
    bytes.insert(bytes.end(), image.rgb.begin(), image.rgb.end());
    return bytes;
}

bool DecodePpm(const std::vector<uint8_t>& bytes, RgbImage* image, std::string* error)
{
    if (bytes.size() < 2 || bytes[0] != 'P' || bytes[1] != '6') {
        *error = "not a binary PPM (P6) file";
        return false;
    }
    std::size_t pos = 2;
    const int width = ReadHeaderNumber(bytes, pos);
    const int height = ReadHeaderNumber(bytes, pos);
    const int maxValue = ReadHeaderNumber(bytes, pos);
    if (width <= 0 || height <= 0 || maxValue != 255 || pos >= bytes.size() ||
        !std::isspace(bytes[pos])) {
        *error = "unsupported PPM header (8-bit P6 expected)";
        return false;
    }
    ++pos;  // the single whitespace byte before the pixels
    const std::size_t size = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
    if (bytes.size() - pos != size) {
        *error = "PPM pixel data is not " + std::to_string(size) + " bytes";
        return false;
    }
    image->width = width;
    image->height = height;
    image->rgb.assign(bytes.begin() + static_cast<std::ptrdiff_t>(pos), bytes.end());
    return true;
}
