#include "render/image_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "render/png_codec.h"
#include "render/ppm_codec.h"

namespace {

bool Fail(const std::string& path, const std::string& reason, std::string* error)
{
    *error = path + ": " + reason;
    return false;
}

// A picture replaces only a regular file (or takes a free name): renamed over
// a device such as /dev/null, or a folder, it would destroy it. The new file
// keeps an old file's permissions, and a new one gets those of any file the
// user creates, 0666 less the umask, rather than the temporary's 0600.
bool TargetMode(const std::string& path, mode_t* mode, std::string* error)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        const mode_t mask = umask(0);
        umask(mask);
        *mode = 0666 & ~mask;
        return true;
    }
    if (S_ISDIR(info.st_mode)) return Fail(path, std::strerror(EISDIR), error);
    if (!S_ISREG(info.st_mode)) return Fail(path, "not a regular file, so not replaced", error);
    *mode = info.st_mode & 0777;
    return true;
}

// The temporary file's name, as mkstemp wants it: in the target's folder, a
// dot, at most 64 bytes of the target's name (whole UTF-8 characters), then
// six characters that mkstemp chooses so that no file has the name. At most
// 72 bytes, so a target name at the file system's limit still has one.
std::string TemporaryTemplate(const std::string& path)
{
    constexpr std::size_t kKeptBytes = 64;
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::size_t kept = std::min(path.size() - nameStart, kKeptBytes);
    while (kept > 0 && nameStart + kept < path.size() &&
           (static_cast<unsigned char>(path[nameStart + kept]) & 0xC0) == 0x80)
        --kept;
    return path.substr(0, nameStart) + "." + path.substr(nameStart, kept) + ".XXXXXX";
}

// 0, or the errno of the first failure.
int WriteAndClose(int fd, const std::vector<uint8_t>& bytes, mode_t mode)
{
    int failure = fchmod(fd, mode) == 0 ? 0 : errno;
    for (std::size_t done = 0; failure == 0 && done < bytes.size();) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno != EINTR) failure = errno;
        if (n > 0) done += static_cast<std::size_t>(n);
    }
    if (close(fd) != 0 && failure == 0) failure = errno;
    return failure;
}

// The bytes go to a new file of their own beside `path`, created so that no
// existing file or link is opened, and it is renamed over `path` only when
// complete: a failed write leaves the old picture, and runs writing the same
// name at once each leave a whole picture, the last one renamed.
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error)
{
    mode_t mode = 0;
    if (!TargetMode(path, &mode, error)) return false;
    std::string temporary = TemporaryTemplate(path);
    const int fd = mkstemp(temporary.data());
    if (fd < 0) return Fail(path, std::strerror(errno), error);
    int failure = WriteAndClose(fd, bytes, mode);
    if (failure == 0 && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    if (failure == 0) failure = errno;
    unlink(temporary.c_str());
    return Fail(path, std::strerror(failure), error);
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
