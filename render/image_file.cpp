#include "render/image_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "render/png_codec.h"
#include "render/ppm_codec.h"
#include "render/replacing_file.h"

namespace {

bool Fail(const std::string& path, const std::string& reason, std::string* error)
{
    *error = path + ": " + reason;
    return false;
}

// Written whole or not at all: a failed write leaves the old picture, and
// runs writing the same name at once each leave a whole picture.
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error)
{
    ReplacingFile file(path);
    return file.Open(error) && file.Write(bytes.data(), bytes.size(), error) && file.Commit(error);
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* error)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return Fail(path, std::strerror(errno), error);
    uint8_t chunk[65536];
    std::size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes->insert(bytes->end(), chunk, chunk + n);
    const bool failed = std::ferror(file) != 0;
    const int reason = errno;  // e.g. a folder opens but cannot be read
    std::fclose(file);
    return failed ? Fail(path, std::strerror(reason), error) : true;
}

bool WriteImage(const std::string& path, const RgbImage& image, std::string* error)
{
    const std::optional<ImageFormat> format = ImageFormatFor(path);
    if (!format) return Fail(path, "the name must end in .png or .ppm", error);
    const std::vector<uint8_t> bytes =
        *format == ImageFormat::kPng ? EncodePng(image) : EncodePpm(image);
    return WriteWholeFile(path, bytes, error);
}

bool ReadImage(const std::string& path, RgbImage* image, std::string* error)
{
    const std::optional<ImageFormat> format = ImageFormatFor(path);
    if (!format) return Fail(path, "the name must end in .png or .ppm", error);
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, &bytes, error)) return false;
    std::string reason;
    const bool decoded = *format == ImageFormat::kPng ? DecodePng(bytes, image, &reason)
                                                      : DecodePpm(bytes, image, &reason);
    return decoded ? true : Fail(path, reason, error);
}
