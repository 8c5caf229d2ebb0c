#include "render/png_codec.h"

#include <png.h>

namespace {

// Larger pictures are refused before their pixels are allocated: a header may
// claim up to a million pixels each way in a file of a few bytes.
constexpr png_uint_32 kMaxPixels = 4096 * 4096;

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

// The rest of a PNG whose header `header` has read: converted to 8-bit
// samples in `format`; the outputs are written only on success. Frees the
// library's state either way.
bool FinishDecode(png_image& header, png_uint_32 format, int* width, int* height,
                  std::vector<uint8_t>* samples, std::string* error)
{
    if (header.height > kMaxPixels / header.width) {
        png_image_free(&header);
        *error = std::to_string(header.width) + " x " + std::to_string(header.height) +
                 " pixels is more than the " + std::to_string(kMaxPixels) + " accepted";
        return false;
    }
    // 16-bit samples without a gamma of their own are read in the convention
    // of 8-bit ones, not as linear light, so 0x8000 becomes 128.
    header.flags |= PNG_IMAGE_FLAG_16BIT_sRGB;
    header.format = format;
    std::vector<uint8_t> decoded;
    try {
        decoded.resize(PNG_IMAGE_SIZE(header));
    } catch (...) {
        png_image_free(&header);  // the caller sees std::bad_alloc, the library's state is gone
        throw;
    }
    if (!png_image_finish_read(&header, nullptr, decoded.data(), 0, nullptr)) {
        *error = header.message;
        return false;
    }
    *width = static_cast<int>(header.width);
    *height = static_cast<int>(header.height);
    *samples = std::move(decoded);
    return true;
}

// The library's state, ready for a header to be read into it.
png_image NewReadState()
{
    png_image header{};
    header.version = PNG_IMAGE_VERSION;
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
    png_image header = NewReadState();
    if (!png_image_begin_read_from_memory(&header, bytes.data(), bytes.size())) {
        *error = header.message;
        return false;
    }
    return FinishDecode(header, PNG_FORMAT_RGB, &image->width, &image->height, &image->rgb, error);
}

bool DecodePngRgba(std::FILE* file, RgbaImage* image, std::string* error)
{
    png_image header = NewReadState();
    if (!png_image_begin_read_from_stdio(&header, file)) {
        *error = header.message;
        return false;
    }
    return FinishDecode(header, PNG_FORMAT_RGBA, &image->width, &image->height, &image->rgba,
                        error);
}
