#pragma once

#include <cstdio>
#include <string>

// A file written whole or not at all: the bytes go to a temporary file that
// is created, with a name of its own, beside the target, and that is renamed
// over the target only by Commit. Anything left uncommitted is removed, so a
// failed write leaves the target as it was and no stray file beside it.
class ReplacingFile {
public:
    explicit ReplacingFile(std::string target) : target(std::move(target)) {}
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // False, with `error` saying why, when the temporary cannot be created.
    bool Open(std::string* error);
    std::FILE* Stream() const { return stream; }
    const std::string& TemporaryPath() const { return temporary; }
    // Starts the temporary again, empty.
    bool Rewind();
    // Closes the temporary and renames it over the target.
    bool Commit(std::string* error);

private:
    std::string target;
    std::string temporary;
    std::FILE* stream = nullptr;
};

// True when both names lead to one file, through links or not.
bool SameFile(const std::string& a, const std::string& b);
