#include "model/obj_text_check.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsLineBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

}  // namespace

bool ObjTextCheck::Fail(const std::string& what)
{
    problem = "line " + std::to_string(line) + ": " + what;
    return false;
}

void ObjTextCheck::EndLine()
{
    ++line;
    lineBytes = 0;
    run = 0;
    state = State::LineStart;
}

// A line's first word: faces, lines and points hold indices.
void ObjTextCheck::ReadKeyword(char c)
{
    if (state == State::LineStart) {
        if (!IsLineBlank(c)) keyword = c, state = State::Keyword;
        return;
    }
    // A keyword of one letter ends here, or it is longer.
    state =
        IsLineBlank(c) && std::strchr("flp", keyword) != nullptr ? State::Indices : State::Other;
}

// The part [p, stop) of the current line; of an index line, every run of
// digits is taken as a number.
bool ObjTextCheck::ScanLinePart(const char* p, const char* stop)
{
    for (; p < stop && (state == State::LineStart || state == State::Keyword); ++p)
        ReadKeyword(*p);
    if (state != State::Indices) return true;
    for (; p < stop; ++p) {
        const unsigned digit = static_cast<unsigned char>(*p) - unsigned{'0'};
        if (digit > 9)
            run = 0;
        else if ((run = run * 10 + digit) > INT32_MAX)
            return Fail("an index beyond 2147483647, more than any file may name");
    }
    return true;
}

bool ObjTextCheck::Scan(const char* bytes, std::size_t n)
{
    // A byte-order mark of UTF-16, at the file's start; its text is half NUL bytes.
    const bool atStart = line == 1 && lineBytes == 0;
    if (atStart && n >= 2 &&
        (std::memcmp(bytes, "\xFE\xFF", 2) == 0 || std::memcmp(bytes, "\xFF\xFE", 2) == 0))
        return Fail("UTF-16 text, which tinyobjloader does not read: save it as UTF-8");
    if (const void* nul = std::memchr(bytes, '\0', n)) {
        line += std::count(bytes, static_cast<const char*>(nul), '\n');
        return Fail("a NUL byte, which no OBJ text holds");
    }
    const char* const end = bytes + n;
    for (const char* p = bytes; p < end;) {
        const auto* newline = static_cast<const char*>(std::memchr(p, '\n', end - p));
        const char* stop = newline != nullptr ? newline : end;
        lineBytes += stop - p;
        if (lineBytes > kMaxLineBytes)
            return Fail("longer than " + std::to_string(kMaxLineBytes) + " bytes");
        if (!ScanLinePart(p, stop)) return false;
        if (newline == nullptr) break;
        EndLine();
        p = newline + 1;
    }
    return true;
}
