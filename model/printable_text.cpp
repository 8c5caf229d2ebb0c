#include "model/printable_text.h"

#include <cstdio>

std::string PrintableText(const std::string& text)
{
    std::string printable;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F) {
            printable += c;
            continue;
        }
        char escape[5];
        std::snprintf(escape, sizeof escape, "\\x%02X", byte);
        printable += escape;
    }
    return printable;
}
