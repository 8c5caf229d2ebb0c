#include "model/ply_complete_values.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "model/fatal_error.h"

namespace {

// The range of each integer type, in type order.
constexpr int64_t kLowest[] = {-128, 0, -32768, 0, INT32_MIN, 0};
constexpr int64_t kHighest[] = {127, 255, 32767, 65535, INT32_MAX, UINT32_MAX};

int64_t Lowest(PlyType type)
{
    return kLowest[static_cast<int>(type)];
}

int64_t Highest(PlyType type)
{
    return kHighest[static_cast<int>(type)];
}

}  // namespace

void FailAt(const PlyValuePlace& place, const std::string& problem)
{
    PlyFail(place.element->name + " " + std::to_string(place.row) + " of " +
            std::to_string(place.element->count) + ", property '" + place.property->name +
            "': " + problem);
}

const char* PlyAsciiValues::Word(const PlyValuePlace& place)
{
    constexpr std::size_t kMaxWordLength = 511;
    while (IsPlyBlank(input.Peek()))
        input.Get();
    if (!input.ReadWord(word, kMaxWordLength))
        FailAt(place, "a word longer than " + std::to_string(kMaxWordLength) + " characters");
    if (word.empty()) FailAt(place, "the file ends before this value");
    return word.c_str();
}

void PlyAsciiValues::NotA(const char* what, const PlyValuePlace& place) const
{
    constexpr std::size_t kShown = 40;
    FailAt(place, "'" + word.substr(0, kShown) + (word.size() > kShown ? "...'" : "'") +
                      " is not " + what);
}

template <class Parse>
auto PlyAsciiValues::WholeWord(const PlyValuePlace& place, Parse parse)
{
    const char* text = Word(place);
    char* stop = nullptr;
    const auto value = parse(text, &stop);
    // To the word's last byte: a NUL byte in it stops the parse early.
    if (stop == text || stop != text + word.size()) NotA("a number", place);
    return value;
}

float PlyAsciiValues::Float(PlyType /*type*/, const PlyValuePlace& place)
{
    return WholeWord(place, [](const char* text, char** stop) { return std::strtof(text, stop); });
}

double PlyAsciiValues::Number(PlyType type, const PlyValuePlace& place)
{
    if (IsPlyIntegerType(type)) return static_cast<double>(Integer(type, place));
    return WholeWord(place, [](const char* text, char** stop) { return std::strtod(text, stop); });
}

int64_t PlyAsciiValues::Integer(PlyType type, const PlyValuePlace& place)
{
    const char* text = Word(place);
    char* stop = nullptr;
    errno = 0;
    const long long value = std::strtoll(text, &stop, 10);
    if (stop == text || stop != text + word.size()) NotA("a whole number", place);
    if (errno == ERANGE || value < Lowest(type) || value > Highest(type))
        NotA((std::string("a ") + PlyTypeName(type)).c_str(), place);
    return value;
}

template <bool kBigEndian>
void PlyBinaryValues<kBigEndian>::SkipTaken(uint64_t bytes, const PlyValuePlace& place)
{
    constexpr uint64_t kChunk = 1 << 15;
    while (bytes > 0) {
        const uint64_t step = bytes < kChunk ? bytes : kChunk;
        if (input.Take(step) == nullptr) FailAt(place, "the file ends before this value");
        bytes -= step;
    }
}

template class PlyBinaryValues<false>;
template class PlyBinaryValues<true>;
