#include "model/obj_text_check.h"

#include <algorithm>
#include <cstring>

#include "model/fatal_error.h"

namespace {

bool IsLineBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

}  // namespace

void ObjTextCheck::Fail(const std::string& problem) const
{
    MeshFail("(ReadObj)", "line " + std::to_string(line) + ": " + problem);
}

void ObjTextCheck::EndLine()
{
    ++line;
    lineBytes = 0;
    run = 0;
    state = State::LineStart;
}

// Faces, lines and points hold the indices; only their digits are counted.
void ObjTextCheck::Step(char c)
{
    switch (state) {
        case State::LineStart:
            if (!IsLineBlank(c)) keyword = c, state = State::Keyword;
            break;
        case State::Keyword:  // a keyword of one letter ends here, or it is longer
            state = IsLineBlank(c) && std::strchr("flp", keyword) != nullptr ? State::Indices
                                                                             : State::Other;
            break;
        case State::Indices:
            if (c < '0' || c > '9') {
                run = 0;
            } else if ((run = run * 10 + (c - '0')) > INT32_MAX) {
                Fail("an index beyond 2147483647, more than any file may name");
            }
            break;
        case State::Other:
            break;
    }
}

void ObjTextCheck::Scan(const char* bytes, std::size_t n)
{
    const char* const end = bytes + n;
    if (const void* nul = std::memchr(bytes, '\0', n)) {
        line += std::count(bytes, static_cast<const char*>(nul), '\n');
        Fail("a NUL byte, which no OBJ text holds");
    }
    for (const char* p = bytes; p < end;) {
        // The rest of a line that holds no indices is passed over whole.
        const char* stop = state == State::Other
                               ? static_cast<const char*>(std::memchr(p, '\n', end - p))
                               : p;
        if (stop == nullptr) stop = end;
        lineBytes += stop - p;
        if (stop < end) {
            const char c = *stop;
            p = stop + 1;
            if (c == '\n')
                EndLine();
            else
                ++lineBytes, Step(c);
        } else {
            p = end;
        }
        if (lineBytes > kMaxLineBytes)
            Fail("longer than " + std::to_string(kMaxLineBytes) + " bytes");
    }
}
