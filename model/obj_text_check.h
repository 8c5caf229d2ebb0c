#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Looks at an OBJ file's bytes, chunk by chunk, before tinyobjloader parses
// them, for what it would read wrongly without a word: a NUL byte ends its
// line early, an index beyond 2147483647 wraps around (atoi) to some other
// vertex, and a line is held whole while it is parsed, so one without end
// would fill memory. The first problem is kept, one line naming its line,
// for the reader to end the load with.
class ObjTextCheck {
public:
    static constexpr std::size_t kMaxLineBytes = std::size_t{1} << 26;

    // False when the bytes hold a problem; nothing more should be read.
    bool Scan(const char* bytes, std::size_t n);
    const std::string& Problem() const { return problem; }

private:
    enum class State : uint8_t { LineStart, Keyword, Indices, Other };

    void ReadKeyword(char c);
    bool ScanLinePart(const char* p, const char* stop);
    void EndLine();
    bool Fail(const std::string& what);

    State state = State::LineStart;
    char keyword = 0;  // the line's first byte
    int64_t line = 1;
    std::size_t lineBytes = 0;
    int64_t run = 0;  // the digits of an index line read so far, as a number
    std::string problem;
};
