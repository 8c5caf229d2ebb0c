#include "model/ply_complete_values.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "model/ply_error.h"

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

template <class Int>
double Signed(uint64_t bits)
{
    return static_cast<double>(static_cast<Int>(bits));
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

float PlyAsciiValues::Float(PlyType /*type*/, const PlyValuePlace& place)
{
    const char* text = Word(place);
    char* stop = nullptr;
    const float value = std::strtof(text, &stop);
    if (stop == text || *stop != '\0') NotA("a number", place);
    if (!std::isfinite(value)) NotA("a finite number", place);
    return value;
}

double PlyAsciiValues::Number(PlyType type, const PlyValuePlace& place)
{
    if (IsPlyIntegerType(type)) return static_cast<double>(Integer(type, place));
    const char* text = Word(place);
    char* stop = nullptr;
    const double value = std::strtod(text, &stop);
    if (stop == text || *stop != '\0') NotA("a number", place);
    return value;
}

int64_t PlyAsciiValues::Integer(PlyType type, const PlyValuePlace& place)
{
    const char* text = Word(place);
    char* stop = nullptr;
    errno = 0;
    const long long value = std::strtoll(text, &stop, 10);
    if (stop == text || *stop != '\0') NotA("a whole number", place);
    if (errno == ERANGE || value < Lowest(type) || value > Highest(type))
        NotA((std::string("a ") + PlyTypeName(type)).c_str(), place);
    return value;
}

template <bool kBigEndian>
double PlyBinaryValues<kBigEndian>::Number(PlyType type, const PlyValuePlace& place)
{
    switch (type) {
        case PlyType::Int8:
            return Signed<int8_t>(Load(1, place));
        case PlyType::UInt8:
            return static_cast<double>(Load(1, place));
        case PlyType::Int16:
            return Signed<int16_t>(Load(2, place));
        case PlyType::UInt16:
            return static_cast<double>(Load(2, place));
        case PlyType::Int32:
            return Signed<int32_t>(Load(4, place));
        case PlyType::UInt32:
            return static_cast<double>(Load(4, place));
        case PlyType::Float32:
            return Float(type, place);
        case PlyType::Float64: {
            const uint64_t bits = Load(8, place);
            double value;
            std::memcpy(&value, &bits, sizeof value);
            return value;
        }
    }
    return 0.0;
}

template <bool kBigEndian>
void PlyBinaryValues<kBigEndian>::Skip(PlyType type, uint64_t n, const PlyValuePlace& place)
{
    constexpr uint64_t kChunk = 1 << 15;
    uint64_t bytes = n * static_cast<uint64_t>(PlyTypeBytes(type));
    while (bytes > 0) {
        const uint64_t step = bytes < kChunk ? bytes : kChunk;
        if (input.Take(step) == nullptr) FailAt(place, "the file ends before this value");
        bytes -= step;
    }
}

template class PlyBinaryValues<false>;
template class PlyBinaryValues<true>;
