#include "model/ply_tokens.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "model/ply_error.h"

void PlyTokenizer::SkipBlanks()
{
    lineStart = token.empty();  // only before the first token
    while (IsPlyBlank(input.Peek())) {
        const int c = input.Get();
        if (c != '\n' && c != '\r') continue;
        lineStart = true;
        if (!sawLineEnd) loneCr = c == '\r' && input.Peek() != '\n';
        sawLineEnd = true;
    }
}

const std::string& PlyTokenizer::Next()
{
    SkipBlanks();
    if (!input.ReadWord(token, kMaxTokenLength))
        PlyFail("header token longer than " + std::to_string(kMaxTokenLength) + " characters");
    if (token.empty()) PlyFail("end of file in the header");
    return token;
}

bool ParseHeaderInteger(const std::string& token, int32_t& value)
{
    const char* begin = token.c_str();
    char* stop = nullptr;
    errno = 0;
    const long parsed = std::strtol(begin, &stop, 10);
    if (stop == begin || *stop != '\0' || errno == ERANGE || parsed < INT32_MIN ||
        parsed > INT32_MAX)
        return false;
    value = static_cast<int32_t>(parsed);
    return true;
}
