#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>

// Shows how a long load of a mesh goes: nothing in its first second, then a
// line a second on `out`, `label` and the bytes read so far. It listens to the mesh
// readers (SetReadProgressHook) from construction to destruction; one at a
// time.
class LoadProgress {
public:
    LoadProgress(std::ostream& out, std::string label);
    ~LoadProgress();
    LoadProgress(const LoadProgress&) = delete;
    LoadProgress& operator=(const LoadProgress&) = delete;

    // Whether a line was shown: the load has lasted more than a second.
    bool Shown() const { return shown; }
    double Seconds() const;

private:
    using Clock = std::chrono::steady_clock;

    static void OnRead(int64_t bytesRead, int64_t size);

    std::ostream& out;
    std::string label;
    Clock::time_point start = Clock::now();
    Clock::time_point lastLine = start;
    bool shown = false;
};

// "LABEL: 12.5 of 50.0 MB (25%)", or without the size when the input has none.
std::string LoadProgressLine(const std::string& label, int64_t bytesRead, int64_t size);
