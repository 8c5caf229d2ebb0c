#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "model/ply_complete_header.h"
#include "model/ply_input.h"

// The value being read, for messages: element, row and property.
struct PlyValuePlace {
    const PlyElement* element = nullptr;
    int32_t row = 0;
    const PlyProperty* property = nullptr;
};

// Ends the load with "<element> <row> of <count>, property '<name>': <problem>".
[[noreturn]] void FailAt(const PlyValuePlace& place, const std::string& problem);

// The values of an ASCII body: each one whitespace-separated word, read
// whole, so that text which is not a number of the declared type is refused.
class PlyAsciiValues {
public:
    explicit PlyAsciiValues(PlyInput& input) : input(input) {}

    // Straight to float, as strtof reads the word, whatever the declared type.
    float Float(PlyType type, const PlyValuePlace& place);
    // Any number, as a double; an integer type's value must fit that type.
    double Number(PlyType type, const PlyValuePlace& place);
    int64_t Integer(PlyType type, const PlyValuePlace& place);
    // Each skipped word must still be a number of its type.
    void Skip(PlyType type, uint64_t n, const PlyValuePlace& place)
    {
        for (uint64_t i = 0; i < n; ++i)
            Number(type, place);
    }

private:
    const char* Word(const PlyValuePlace& place);
    [[noreturn]] void NotA(const char* what, const PlyValuePlace& place) const;

    PlyInput& input;
    std::string word;
};

// The values of a binary body in the file's byte order, a template argument
// so that it is settled once per file.
template <bool kBigEndian>
class PlyBinaryValues {
public:
    explicit PlyBinaryValues(PlyInput& input) : input(input) {}

    float Float(PlyType type, const PlyValuePlace& place)
    {
        if (type != PlyType::Float32) return static_cast<float>(Number(type, place));
        const uint32_t bits = static_cast<uint32_t>(Load(4, place));
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    double Number(PlyType type, const PlyValuePlace& place);
    int64_t Integer(PlyType type, const PlyValuePlace& place)
    {
        return static_cast<int64_t>(Number(type, place));
    }
    // Passes over n values of the type without decoding them.
    void Skip(PlyType type, uint64_t n, const PlyValuePlace& place);

private:
    // The next `bytes` bytes as one unsigned number in the file's order.
    uint64_t Load(int bytes, const PlyValuePlace& place)
    {
        const uint8_t* b = input.Take(static_cast<std::size_t>(bytes));
        if (b == nullptr) FailAt(place, "the file ends before this value");
        uint64_t value = 0;
        for (int i = 0; i < bytes; ++i)
            value |= uint64_t{b[kBigEndian ? i : bytes - 1 - i]} << (8 * (bytes - 1 - i));
        return value;
    }

    PlyInput& input;
};
