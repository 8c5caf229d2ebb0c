#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

// The blanks that separate words, as "%s" and "%f" see them in the C locale.
inline bool IsPlyBlank(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Told, after every read from a mesh file, the bytes read from it so far and
// its size (-1 when it has none: a pipe, a device), so that a program can
// show how a long load goes. It runs on the loading thread, between reads.
using ReadProgressHook = void (*)(int64_t bytesRead, int64_t size);
// Installs `hook` (nullptr: none, the default) and returns the previous one.
ReadProgressHook SetReadProgressHook(ReadProgressHook hook);

// Buffered byte reader over an open file. It owns the file, so the file is
// closed however the reader is left, by return or by an exception.
class PlyInput {
public:
    static constexpr int kEnd = -1;
    // The most bytes read from an input whose size cannot be known in
    // advance (a pipe, a device); a longer one is refused.
    static constexpr int64_t kMaxStreamBytes = int64_t{1} << 30;

    explicit PlyInput(std::FILE* file);

    int Get()
    {
        if (begin == end && !Fill()) return kEnd;
        return buffer[begin++];
    }
    int Peek()
    {
        if (begin == end && !Fill()) return kEnd;
        return buffer[begin];
    }
    // The next n bytes, in a row in the buffer, or nullptr when the file ends
    // first; then the bytes that are left are the Buffered() ones at Position().
    // A binary body decodes whole records in place. n is at most 64 KiB.
    const uint8_t* Take(std::size_t n)
    {
        while (end - begin < n)
            if (!Fill()) return nullptr;
        const uint8_t* bytes = &buffer[begin];
        begin += n;
        return bytes;
    }
    const uint8_t* Position() const { return buffer.data() + begin; }
    std::size_t Buffered() const { return end - begin; }
    // The characters up to the next blank or the end of the file; false, with
    // the rest left unread, when there are more than maxLength.
    bool ReadWord(std::string& word, std::size_t maxLength);
    // Bytes after the read position, or -1 when the size of the file cannot be
    // known in advance (a pipe, say).
    int64_t BytesLeft() const { return size < 0 ? -1 : size - (filled - (end - begin)); }
    void Close() { file.reset(); }

private:
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };

    // Appends what the file gives to the unread bytes, which move to the front.
    bool Fill();

    std::unique_ptr<std::FILE, Closer> file;
    std::vector<uint8_t> buffer;
    std::size_t begin = 0;
    std::size_t end = 0;
    int64_t filled = 0;  // bytes taken from the file so far
    int64_t size = -1;
};
