#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "model/ply_binary_records.h"
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
    static constexpr bool kBinary = false;

    explicit PlyAsciiValues(PlyInput& input) : input(input) {}

    // Straight to float, as strtof reads the word, whatever the declared type.
    float Float(PlyType type, const PlyValuePlace& place);
    // Any number, as a double; an integer type's value must fit that type.
    double Number(PlyType type, const PlyValuePlace& place);
    int64_t Integer(PlyType type, const PlyValuePlace& place);
    void BeginRow(std::size_t /*bytes*/) {}
    bool Indices(PlyType /*type*/, std::size_t /*n*/, int32_t* /*out*/) { return false; }
    bool DecodeRow(const std::vector<PlyVertexValue>& /*layout*/, uint8_t* /*vertex*/)
    {
        return false;
    }
    // Each skipped word must still be a number of its type.
    void Skip(PlyType type, uint64_t n, const PlyValuePlace& place)
    {
        for (uint64_t i = 0; i < n; ++i)
            Number(type, place);
    }

private:
    const char* Word(const PlyValuePlace& place);
    // The next word as `parse` (strtof, strtod) reads it, refused unless
    // the whole word is the number.
    template <class Parse>
    auto WholeWord(const PlyValuePlace& place, Parse parse);
    [[noreturn]] void NotA(const char* what, const PlyValuePlace& place) const;

    PlyInput& input;
    std::string word;
};

// A whole number for any double: the value truncated, or the lowest int64
// (never a count or an index) when it is out of range or not a number.
inline int64_t TruncatedToInteger(double value)
{
    return value > -9.2e18 && value < 9.2e18 ? static_cast<int64_t>(value) : INT64_MIN;
}

// The values of a binary body in the file's byte order, a template argument
// so that it is settled once per file. A row of fixed size is taken whole by
// BeginRow and decoded from memory; otherwise each value is taken as it
// comes, so that a row cut short is reported at the value it cuts.
template <bool kBigEndian>
class PlyBinaryValues {
public:
    static constexpr bool kBinary = true;

    explicit PlyBinaryValues(PlyInput& input) : input(input) {}

    // `bytes` > 0: the row's size when it has no lists.
    void BeginRow(std::size_t bytes)
    {
        row = bytes > 0 && bytes <= kMaxRowBytes ? input.Take(bytes) : nullptr;
    }
    float Float(PlyType type, const PlyValuePlace& place)
    {
        if (type == PlyType::Float64) return static_cast<float>(Number(type, place));
        if (type != PlyType::Float32) return static_cast<float>(Integer(type, place));
        const uint32_t bits = static_cast<uint32_t>(Load<4>(place));
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    double Number(PlyType type, const PlyValuePlace& place)
    {
        if (type == PlyType::Float32) return Float(type, place);
        if (type != PlyType::Float64) return static_cast<double>(Integer(type, place));
        const uint64_t bits = Load<8>(place);
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    int64_t Integer(PlyType type, const PlyValuePlace& place)
    {
        if (type == PlyType::UInt8) return static_cast<int64_t>(Load<1>(place));  // most counts
        return OtherInteger(type, place);
    }
    int64_t OtherInteger(PlyType type, const PlyValuePlace& place)
    {
        switch (type) {
            case PlyType::Int8:
                return static_cast<int8_t>(Load<1>(place));
            case PlyType::UInt8:
                return static_cast<int64_t>(Load<1>(place));
            case PlyType::Int16:
                return static_cast<int16_t>(Load<2>(place));
            case PlyType::UInt16:
                return static_cast<int64_t>(Load<2>(place));
            case PlyType::Int32:
                return static_cast<int32_t>(Load<4>(place));
            case PlyType::UInt32:
                return static_cast<int64_t>(Load<4>(place));
            default:  // a float where an integer belongs: its value, truncated
                return TruncatedToInteger(Number(type, place));
        }
    }
    // A list of n 4-byte indices, each as its 32 bits, decoded in one go;
    // false, with nothing read, for other types or when the file ends first.
    bool Indices(PlyType type, std::size_t n, int32_t* out)
    {
        if ((type != PlyType::Int32 && type != PlyType::UInt32) || n > kMaxRowBytes / 4)
            return false;
        const uint8_t* b = input.Take(4 * n);
        if (b == nullptr) return false;
        for (std::size_t i = 0; i < n; ++i, b += 4) {
            uint32_t bits;
            std::memcpy(&bits, b, sizeof bits);
            out[i] = static_cast<int32_t>(kBigEndian ? __builtin_bswap32(bits) : bits);
        }
        return true;
    }
    // The row taken whole decoded in one go as `layout` says, where there is
    // one; false otherwise, or when a float is not finite, with the row
    // still to be read value by value.
    bool DecodeRow(const std::vector<PlyVertexValue>& layout, uint8_t* vertex)
    {
        return row != nullptr && !layout.empty() &&
               DecodePlyVertex<kBigEndian>(layout, layout.size(), row, vertex);
    }
    // Faces of an 8-bit count and 4-byte indices (ReadPlyFaces).
    template <class Check>
    bool Faces(PlyMesh& mesh, int32_t count, int32_t& row, Check check, int& n)
    {
        return ReadPlyFaces<kBigEndian>(input, mesh, count, row, check, n);
    }
    // Passes over n values of the type without decoding them.
    void Skip(PlyType type, uint64_t n, const PlyValuePlace& place)
    {
        const uint64_t bytes = n * static_cast<uint64_t>(PlyTypeBytes(type));
        if (row != nullptr)
            row += bytes;  // a scalar of a row taken whole
        else
            SkipTaken(bytes, place);
    }

private:
    static constexpr std::size_t kMaxRowBytes = 1 << 15;

    void SkipTaken(uint64_t bytes, const PlyValuePlace& place);

    // The next kBytes bytes as one unsigned number in the file's order.
    template <int kBytes>
    uint64_t Load(const PlyValuePlace& place)
    {
        const uint8_t* b = row;
        if (b != nullptr)
            row += kBytes;
        else if ((b = input.Take(kBytes)) == nullptr)
            FailAt(place, "the file ends before this value");
        uint64_t value = 0;
        for (int i = 0; i < kBytes; ++i)
            value |= uint64_t{b[kBigEndian ? i : kBytes - 1 - i]} << (8 * (kBytes - 1 - i));
        return value;
    }

    PlyInput& input;
    const uint8_t* row = nullptr;  // the rest of a row taken whole
};
