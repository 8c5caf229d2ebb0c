#include "render/rgb_image.h"

#include <algorithm>
#include <cctype>

std::optional<ImageFormat> ImageFormatFor(const std::string& path)
{
    constexpr std::size_t kExtensionLength = 4;
    if (path.size() <= kExtensionLength) return std::nullopt;
    std::string extension = path.substr(path.size() - kExtensionLength);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    if (extension == ".png") return ImageFormat::kPng;
    if (extension == ".ppm") return ImageFormat::kPpm;
    return std::nullopt;
}
