#include "model/ply_tokens.h"

#include "model/fatal_error.h"

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
