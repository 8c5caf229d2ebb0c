#include "app/replacing_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

std::string Folder(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool Fail(const std::string& what, int reason, std::string* error)
{
    *error = what + " (" + std::strerror(reason) + ")";
    return false;
}

}  // namespace

ReplacingFile::~ReplacingFile()
{
    if (stream != nullptr) std::fclose(stream);
    if (!temporary.empty()) unlink(temporary.c_str());
}

bool ReplacingFile::Open(std::string* error)
{
    // A name of the program's own, not the target's, so that a target of
    // the longest name a folder allows still gets its temporary.
    std::string name = Folder(target) + "/.zbuffer-import-XXXXXX";
    std::vector<char> buffer(name.begin(), name.end());
    buffer.push_back('\0');
    const int fd = mkstemp(buffer.data());  // created exclusively, mode 0600
    if (fd < 0) return Fail("cannot create a file beside " + target, errno, error);
    temporary = buffer.data();
    // The finished file gets the permissions a new file would get.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    stream = fdopen(fd, "wb");
    if (stream == nullptr) {
        const int reason = errno;
        close(fd);
        return Fail("cannot write beside " + target, reason, error);
    }
    return true;
}

bool ReplacingFile::Rewind()
{
    return std::fflush(stream) == 0 && ftruncate(fileno(stream), 0) == 0 &&
           std::fseek(stream, 0, SEEK_SET) == 0;
}

bool ReplacingFile::Commit(std::string* error)
{
    const bool flushed = std::fflush(stream) == 0 && fsync(fileno(stream)) == 0;
    const int flushErrno = errno;
    const bool closed = std::fclose(stream) == 0;
    stream = nullptr;
    if (!flushed || !closed)
        return Fail("cannot write " + target, flushed ? errno : flushErrno, error);
    if (std::rename(temporary.c_str(), target.c_str()) != 0)
        return Fail("cannot write " + target, errno, error);
    temporary.clear();
    return true;
}

bool SameFile(const std::string& a, const std::string& b)
{
    struct stat sa {
    }, sb{};
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}
