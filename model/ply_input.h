#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

// The blanks that separate words, as "%s" and "%f" see them in the C locale.
inline bool IsPlyBlank(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Buffered byte reader over an open file. It owns the file, so the file is
// closed however the reader is left, by return or by an exception.
class PlyInput {
public:
    static constexpr int kEnd = -1;

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
    // False when the file ends before n bytes. Inline: a binary body is read
    // four bytes at a time.
    bool Read(uint8_t* out, std::size_t n)
    {
        if (end - begin < n) return ReadAcrossFills(out, n);
        std::memcpy(out, &buffer[begin], n);
        begin += n;
        return true;
    }
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

    bool Fill();
    bool ReadAcrossFills(uint8_t* out, std::size_t n);

    std::unique_ptr<std::FILE, Closer> file;
    std::vector<uint8_t> buffer;
    std::size_t begin = 0;
    std::size_t end = 0;
    int64_t filled = 0;  // bytes taken from the file so far
    int64_t size = -1;
};
