#include "app/load_progress.h"

#include <cstdio>

#include "model/ply_input.h"

namespace {

LoadProgress* gShowing = nullptr;  // the one listening, if any

}  // namespace

LoadProgress::LoadProgress(std::ostream& out, std::string label) : out(out), label(std::move(label))
{
    gShowing = this;
    SetReadProgressHook(OnRead);
}

LoadProgress::~LoadProgress()
{
    SetReadProgressHook(nullptr);
    gShowing = nullptr;
}

double LoadProgress::Seconds() const
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void LoadProgress::OnRead(int64_t bytesRead, int64_t size)
{
    LoadProgress& p = *gShowing;
    const Clock::time_point now = Clock::now();
    if (now - p.lastLine < std::chrono::seconds(1)) return;
    p.lastLine = now;
    p.shown = true;
    p.out << LoadProgressLine(p.label, bytesRead, size) << std::endl;
}

std::string LoadProgressLine(const std::string& label, int64_t bytesRead, int64_t size)
{
    constexpr double kMegabyte = 1e6;
    char numbers[64];
    if (size > 0)
        std::snprintf(numbers, sizeof numbers, "%.1f of %.1f MB (%d%%)", bytesRead / kMegabyte,
                      size / kMegabyte, static_cast<int>(100 * bytesRead / size));
    else
        std::snprintf(numbers, sizeof numbers, "%.1f MB", bytesRead / kMegabyte);
    return label + ": " + numbers;
}
