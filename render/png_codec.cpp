#include "render/png_codec.h"

#include <png.h>

namespace {

// The library's simplified interface reports errors in the image record and
// needs no setjmp, which would not mix with C++ destructors.
png_image ImageHeader(const RgbImage& image)
{
    png_image header{};
    header.version = PNG_IMAGE_VERSION;
    header.width = static_cast<png_uint_32>(image.width);
    header.height = static_cast<png_uint_32>(image.height);
    header.format = PNG_FORMAT_RGB;
    return header;
}

}  // namespace

std::vector<uint8_t> EncodePng(const RgbImage& image)
{
    png_image header = ImageHeader(image);
    png_alloc_size_t size = 0;
    // A first call without a buffer tells the size.
    png_image_write_to_memory(&header, nullptr, &size, 0, image.rgb.data(), 0, nullptr);
    std::vector<uint8_t> bytes(size);
    header = ImageHeader(image);
    png_image_write_to_memory(&header, bytes.data(), &size, 0, image.rgb.data(), 0, nullptr);
    bytes.resize(size);
    return bytes;
}

bool DecodePng(const std::vector<uint8_t>& bytes, RgbImage* image, std::string* error)
{
    png_image header{};
    header.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&header, bytes.data(), bytes.size())) {
        *error = header.message;
        return false;
    }
    header.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(header));
    if (!png_image_finish_read(&header, nullptr, rgb.data(), 0, nullptr)) {
        *error = header.message;
        return false;
    }
    image->width = static_cast<int>(header.width);
    image->height = static_cast<int>(header.height);
    image->rgb = std::move(rgb);
    return true;
}
