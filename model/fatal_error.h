#pragma once

#include <string>

// FatalError passes its message to the installed handler. The default handler
// writes "Error: <what> : <detail>" on standard error and exits with status 1;
// a handler that throws instead lets tests and fuzzers carry on in-process.
// A handler that returns falls back to the default.
using FatalErrorHandler = void (*)(const char* what, const char* detail);
// Installs `handler` (nullptr restores the default) and returns the previous one.
FatalErrorHandler SetFatalErrorHandler(FatalErrorHandler handler);
[[noreturn]] void FatalError(const char* what, const char* detail);
// The default handler's message: "Error: <what> : <detail>" and a line end
// on standard error.
void WriteFatalError(const char* what, const char* detail);

// Ends the load of a mesh file through FatalError with `what`. The detail may
// quote words of the file or its name, which may hold any byte: it is shown
// as PrintableText.
[[noreturn]] void MeshFail(const char* what, const std::string& detail);
// The same with what = "(ReadPly)".
[[noreturn]] void PlyFail(const std::string& detail);

// The detail of a load that ran out of memory though its counts fit.
constexpr char kOutOfMemory[] = "out of memory while loading the mesh";
