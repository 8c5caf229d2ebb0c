#include "app/progress_bar.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr double kDelaySeconds = 2.0;
constexpr int kBarWidth = 30;
// The bar sits on the line below the cursor, so that whatever else is printed
// (the frame lines on standard output) writes above it and pushes it down:
// erase the cursor's line, draw on the next one, come back up to column 0.
constexpr char kDrawBelow[] = "\033[K\n\033[K";
constexpr char kBackUp[] = "\033[A\r";
constexpr char kEraseBelow[] = "\033[J";

std::string Duration(double seconds)
{
    const long total = std::lround(seconds);
    char text[32];
    if (total >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60,
                      total % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
    return text;
}

}  // namespace

std::string ProgressLine(int done, int total, double elapsedSeconds)
{
    const int filled =
        total > 0 ? static_cast<int>(static_cast<long long>(done) * kBarWidth / total) : 0;
    const double fps = elapsedSeconds > 0.0 ? done / elapsedSeconds : 0.0;
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, "] %d/%d frames  %.1f fps  ", done, total, fps);
    const std::string left = fps > 0.0 ? Duration((total - done) / fps) + " left" : "";
    return "[" + std::string(static_cast<std::size_t>(filled), '#') +
           std::string(static_cast<std::size_t>(kBarWidth - filled), '-') + numbers + left;
}

void ProgressBar::Show(int done, double elapsedSeconds)
{
    if (!enabled_ || elapsedSeconds < kDelaySeconds) return;
    out_ << kDrawBelow << ProgressLine(done, total_, elapsedSeconds) << kBackUp << std::flush;
    shown_ = true;
}

void ProgressBar::Hide()
{
    if (!shown_) return;
    out_ << kEraseBelow << std::flush;
    shown_ = false;
}
