#include "model/ply_input.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "model/fatal_error.h"

namespace {

constexpr std::size_t kBufferBytes = 1 << 16;

ReadProgressHook gReadProgressHook = nullptr;

int64_t RegularFileSize(std::FILE* file)
{
    struct stat info {};
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
    return static_cast<int64_t>(info.st_size);
}

}  // namespace

ReadProgressHook SetReadProgressHook(ReadProgressHook hook)
{
    const ReadProgressHook previous = gReadProgressHook;
    gReadProgressHook = hook;
    return previous;
}

PlyInput::PlyInput(std::FILE* f) : file(f), buffer(kBufferBytes), size(RegularFileSize(f)) {}

bool PlyInput::Fill()
{
    if (!file) return false;
    std::memmove(buffer.data(), buffer.data() + begin, end - begin);
    end -= begin;
    begin = 0;
    const std::size_t got = std::fread(buffer.data() + end, 1, buffer.size() - end, file.get());
    // A directory, say, opens but cannot be read: not an empty file.
    if (got == 0 && std::ferror(file.get()))
        PlyFail(std::string("cannot read the file (") + std::strerror(errno) + ")");
    end += got;
    filled += static_cast<int64_t>(got);
    if (gReadProgressHook != nullptr) gReadProgressHook(filled, size);
    // An endless stream would otherwise be read for ever: blanks between
    // numbers, comment lines, or bytes whose records never end.
    if (size < 0 && filled > kMaxStreamBytes)
        PlyFail("the input has no size (a pipe or a device) and goes on past " +
                std::to_string(kMaxStreamBytes >> 30) + " GiB, the most read from such an input");
    return got > 0;
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
