#pragma once

#include <string>

#include "model/fatal_error.h"

// While it lives, a mesh that the window program's reader refuses still ends
// with the reader's one-line message and status 1, and then, when the import
// would open the file, with one more line, `hint`, that says how. The import
// is tried quietly, after the refusal.
class ImportHint {
public:
    ImportHint(const std::string& path, const std::string& hint);
    ~ImportHint();
    ImportHint(const ImportHint&) = delete;
    ImportHint& operator=(const ImportHint&) = delete;

private:
    FatalErrorHandler previous;
};

// Whether the import opens the file, writing nothing. Only a regular file is
// tried: a pipe's bytes were taken by the first reader, and a named pipe may
// never open again.
bool ImportOpens(const std::string& path);

// `path` as one word of a shell command line, quoted when it needs to be,
// with bytes that are not printable ASCII shown as \xNN.
std::string ShellWord(const std::string& path);
