#pragma once

#include <cstdlib>
#include <string>

#include "model/ply_input.h"

// The header as a sequence of whitespace-separated tokens, the way "%s" reads
// them. Line ends separate tokens like any blank; the tokenizer only notes
// whether a token starts a line, which lets the header scan tell keyword lines
// from words inside comments, and how the first line ends.
class PlyTokenizer {
public:
    static constexpr std::size_t kMaxTokenLength = 511;

    explicit PlyTokenizer(PlyInput& input) : input(input) {}

    // The end of the file and tokens longer than kMaxTokenLength are fatal:
    // every header that ends early is broken.
    const std::string& Next();
    const std::string& Current() const { return token; }
    bool AtLineStart() const { return lineStart; }
    // True when the first line ends in "\r" without a "\n" after it.
    bool LoneCrLines() const { return loneCr; }

private:
    void SkipBlanks();

    PlyInput& input;
    std::string token;
    bool lineStart = true;
    bool sawLineEnd = false;
    bool loneCr = false;
};

// A whole word as a decimal integer, as "%d" reads one but to the word's last
// byte: false for anything else, a NUL byte included. A number beyond the
// range of long long gives its nearest end, so it still reads as too large or
// too small.
inline bool ParsePlyInteger(const std::string& word, long long& value)
{
    const char* begin = word.c_str();
    char* stop = nullptr;
    value = std::strtoll(begin, &stop, 10);
    return stop != begin && stop == begin + word.size();
}
