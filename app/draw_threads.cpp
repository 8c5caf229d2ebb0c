#include "app/draw_threads.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <thread>

#include "model/printable_text.h"
#include "pipeline/draw_setup.h"

int AllCores()
{
    // hardware_concurrency is 0 when the count is not known.
    return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMaxDrawThreads);
}

std::optional<int> ParseThreadCount(const std::string& text)
{
    int threads = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, threads);
    if (ec != std::errc() || ptr != end || threads < 1 || threads > kMaxDrawThreads)
        return std::nullopt;
    return threads;
}

std::optional<int> ThreadsFromEnvironment(const char* program, int fallback, std::ostream& err)
{
    const char* value = std::getenv("ZBUFFER_THREADS");
    if (value == nullptr || *value == '\0') return fallback;
    const std::optional<int> threads = ParseThreadCount(value);
    if (!threads)
        err << program << ": ZBUFFER_THREADS: '" << PrintableText(value)
            << "' is not a whole number from 1 to " << kMaxDrawThreads << std::endl;
    return threads;
}
