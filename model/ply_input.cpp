#include "model/ply_input.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "model/ply_error.h"

namespace {

constexpr std::size_t kBufferBytes = 1 << 16;

int64_t RegularFileSize(std::FILE* file)
{
    struct stat info {};
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
    return static_cast<int64_t>(info.st_size);
}

}  // namespace

PlyInput::PlyInput(std::FILE* f) : file(f), buffer(kBufferBytes), size(RegularFileSize(f)) {}

bool PlyInput::Fill()
{
    if (!file) return false;
    begin = 0;
    end = std::fread(buffer.data(), 1, buffer.size(), file.get());
    // A directory, say, opens but cannot be read: not an empty file.
    if (end == 0 && std::ferror(file.get()))
        PlyFail(std::string("cannot read the file (") + std::strerror(errno) + ")");
    filled += static_cast<int64_t>(end);
    return end > 0;
}

bool PlyInput::ReadAcrossFills(uint8_t* out, std::size_t n)
{
    while (n > 0) {
        if (begin == end && !Fill()) return false;
        const std::size_t part = std::min(n, end - begin);
        std::memcpy(out, &buffer[begin], part);
        begin += part;
        out += part;
        n -= part;
    }
    return true;
}

bool PlyInput::ReadWord(std::string& word, std::size_t maxLength)
{
    word.clear();
    for (int c = Peek(); c != kEnd && !IsPlyBlank(c); c = Peek()) {
        if (word.size() == maxLength) return false;
        word.push_back(static_cast<char>(Get()));
    }
    return true;
}
