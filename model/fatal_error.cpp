#include "model/fatal_error.h"

#include <cstdio>
#include <cstdlib>

#include "model/printable_text.h"

namespace {

[[noreturn]] void PrintAndExit(const char* what, const char* detail)
{
    WriteFatalError(what, detail);
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

void WriteFatalError(const char* what, const char* detail)
{
    std::fprintf(stderr, "Error: %s : %s\n", what, detail);
}

void FatalError(const char* what, const char* detail)
{
    gFatalErrorHandler(what, detail);
    PrintAndExit(what, detail);
}

void MeshFail(const char* what, const std::string& detail)
{
    FatalError(what, PrintableText(detail).c_str());
}

void PlyFail(const std::string& detail)
{
    MeshFail("(ReadPly)", detail);
}
