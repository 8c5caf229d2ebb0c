#pragma once

#include <sys/types.h>

#include <cstdio>
#include <string>

// A file written whole or not at all. The bytes go to a new temporary file
// beside the target, created under a name no file has (so that no existing
// file or link is opened), and it is renamed over the target only by Commit:
// a failed write leaves the old file, and writers of one name at once each
// leave a whole file, the last one renamed. Only a regular file is replaced
// (renamed over a device such as /dev/null, or a folder, it would destroy
// it); the new file keeps the old one's permissions, or gets those of any new
// file, 0666 less the umask. A temporary left uncommitted is removed.
// Errors name the target and the reason: "TARGET: reason".
class ReplacingFile {
public:
    explicit ReplacingFile(std::string target) : target(std::move(target)) {}
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // False when the target may not be replaced or the temporary cannot be made.
    bool Open(std::string* error);
    std::FILE* Stream() const { return stream; }
    const std::string& TemporaryPath() const { return temporary; }
    // Starts the temporary again, empty.
    bool Rewind();
    // Writes the bytes; false with the reason of the failed write.
    bool Write(const void* bytes, std::size_t n, std::string* error);
    // Writes what is buffered, closes the temporary and renames it over the target.
    bool Commit(std::string* error);
    // False, with `error` "TARGET: " and the reason for the errno `reason`.
    bool Fail(int reason, std::string* error) const;

private:
    std::string target;
    std::string temporary;
    std::FILE* stream = nullptr;
    mode_t mode = 0;
};
