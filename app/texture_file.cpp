#include "app/texture_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "render/png_codec.h"

namespace {

// What the PNG library reads through: the file, cut off with an error past
// kMaxTextureFileBytes, so that an input without end (/dev/zero, `yes`) is
// refused rather than read for ever. It keeps why the reading stopped.
struct LimitedSource {
    int fd;
    int64_t left = kMaxTextureFileBytes;
    bool overLimit = false;
    bool ended = false;  // the file ended while more was asked for
    int readError = 0;
};

ssize_t ReadLimited(void* cookie, char* buffer, std::size_t size)
{
    auto* source = static_cast<LimitedSource*>(cookie);
    const auto asked = static_cast<std::size_t>(std::min<int64_t>(size, source->left + 1));
    ssize_t got = 0;
    do
        got = read(source->fd, buffer, asked);
    while (got < 0 && errno == EINTR);
    if (got < 0) source->readError = errno;
    if (got == 0) source->ended = true;
    if (got > source->left) {
        source->overLimit = true;
        errno = EFBIG;
        return -1;
    }
    if (got > 0) source->left -= got;
    return got;
}

// The library's own message for a file cut short or unreadable says less
// than why the reading stopped.
std::string Reason(const LimitedSource& source, const std::string& decoderMessage)
{
    if (source.overLimit)
        return "goes on past " + std::to_string(kMaxTextureFileBytes >> 20) +
               " MiB, the most a texture file may hold";
    if (source.readError != 0) return std::strerror(source.readError);
    if (source.ended) return "the file ends before the picture does";
    return decoderMessage;
}

struct StreamCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

bool DecodeLimited(int fd, RgbaImage* image, std::string* error)
{
    LimitedSource source{fd};
    const std::unique_ptr<std::FILE, StreamCloser> stream(
        fopencookie(&source, "rb", {ReadLimited, nullptr, nullptr, nullptr}));
    if (!stream) {
        *error = std::strerror(errno);
        return false;
    }
    std::string message;
    const bool decoded = DecodePngRgba(stream.get(), image, &message);
    if (!decoded) *error = Reason(source, message);
    return decoded;
}

// Texels of an 8-bit RGBA picture whose first row is the top one.
std::vector<Color> TexelsBottomRowFirst(const RgbaImage& image)
{
    const std::size_t width = static_cast<std::size_t>(image.width);
    const std::size_t height = static_cast<std::size_t>(image.height);
    std::vector<Color> texels(width * height);
    for (std::size_t row = 0; row < height; ++row)
        for (std::size_t column = 0; column < width; ++column) {
            const uint8_t* s = &image.rgba[4 * ((height - 1 - row) * width + column)];
            texels[row * width + column].SetBytes(s[0], s[1], s[2], s[3]);
        }
    return texels;
}

bool Fail(const std::string& path, const std::string& reason, std::string* error)
{
    *error = path + ": " + reason;
    return false;
}

}  // namespace

bool ReadTexture(const std::string& path, TextureImage* texture, std::string* error)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Fail(path, std::strerror(errno), error);
    struct stat info {};
    RgbaImage image;
    std::string reason;
    // A file whose size says it is too large is refused before any of it is read.
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > kMaxTextureFileBytes)
        reason = "is " + std::to_string(info.st_size) + " bytes, more than the " +
                 std::to_string(kMaxTextureFileBytes >> 20) + " MiB a texture file may hold";
    // A picture of the largest size takes some 300 MB here; memory may still
    // run out, which is the file's failure, not the program's end.
    try {
        if (reason.empty()) DecodeLimited(fd, &image, &reason);
        if (reason.empty())
            *texture = TextureImage(image.width, image.height, TexelsBottomRowFirst(image));
    } catch (const std::bad_alloc&) {
        reason = "not enough memory for the picture";
    }
    close(fd);
    return reason.empty() || Fail(path, reason, error);
}
