#include "render/replacing_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// The mode the finished file gets, or the errno why the target may not be
// replaced: only a regular file is, or a free name.
int TargetMode(const std::string& path, mode_t* mode)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        const mode_t mask = umask(0);
        umask(mask);
        *mode = 0666 & ~mask;
        return 0;
    }
    if (S_ISDIR(info.st_mode)) return EISDIR;
    if (!S_ISREG(info.st_mode)) return -1;
    *mode = info.st_mode & 0777;
    return 0;
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

}  // namespace

ReplacingFile::~ReplacingFile()
{
    if (stream != nullptr) std::fclose(stream);
    if (!temporary.empty()) unlink(temporary.c_str());
}

// A `reason` of -1: the target is there but not a regular file.
bool ReplacingFile::Fail(int reason, std::string* error) const
{
    *error = target + ": " +
             (reason < 0 ? "not a regular file, so not replaced"
                         : std::strerror(reason != 0 ? reason : EIO));
    return false;
}

bool ReplacingFile::Open(std::string* error)
{
    const int refusal = TargetMode(target, &mode);
    if (refusal != 0) return Fail(refusal, error);
    std::string name = TemporaryTemplate(target);
    const int fd = mkstemp(name.data());  // created exclusively, mode 0600
    if (fd < 0) return Fail(errno, error);
    temporary = name;
    stream = fdopen(fd, "wb");
    if (stream == nullptr) {
        const int reason = errno;
        close(fd);
        return Fail(reason, error);
    }
    return true;
}

bool ReplacingFile::Rewind()
{
    return std::fflush(stream) == 0 && ftruncate(fileno(stream), 0) == 0 &&
           std::fseek(stream, 0, SEEK_SET) == 0;
}

bool ReplacingFile::Write(const void* bytes, std::size_t n, std::string* error)
{
    return std::fwrite(bytes, 1, n, stream) == n || Fail(errno, error);
}

bool ReplacingFile::Commit(std::string* error)
{
    int failure = std::fflush(stream) == 0 && std::ferror(stream) == 0 ? 0 : errno;
    if (failure == 0 && fchmod(fileno(stream), mode) != 0) failure = errno;
    if (std::fclose(stream) != 0 && failure == 0) failure = errno;
    stream = nullptr;
    if (failure == 0 && std::rename(temporary.c_str(), target.c_str()) != 0) failure = errno;
    if (failure != 0) return Fail(failure, error);
    temporary.clear();
    return true;
}
