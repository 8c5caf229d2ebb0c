#include <cstdio>
#include <cstdlib>
#include <string>

#include "model/ply_error.h"
#include "model/ply_reader.h"

namespace {

[[noreturn]] void PrintAndExit(const char* what, const char* detail)
{
    std::fprintf(stderr, "Error: %s : %s\n", what, detail);
    std::exit(1);
}

FatalErrorHandler gFatalErrorHandler = PrintAndExit;

}  // namespace

FatalErrorHandler SetFatalErrorHandler(FatalErrorHandler handler)
{
    const FatalErrorHandler previous = gFatalErrorHandler;
    gFatalErrorHandler = handler != nullptr ? handler : PrintAndExit;
    return previous;
}

void FatalError(const char* what, const char* detail)
{
    gFatalErrorHandler(what, detail);
    PrintAndExit(what, detail);
}

// The detail quotes words of the file, which may hold any byte: the message
// stays one line of printable text, with other bytes shown as \xNN.
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

void MeshFail(const char* what, const std::string& detail)
{
    FatalError(what, PrintableText(detail).c_str());
}

void PlyFail(const std::string& detail)
{
    MeshFail("(ReadPly)", detail);
}
