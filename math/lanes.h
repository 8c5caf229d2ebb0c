#pragma once

// Lanes: several floats worked on by one instruction, each lane taking the
// same IEEE operation as a lone float would (a vector division rounds as a
// scalar one does; nothing is fused). GCC's vector extensions, which clang
// shares: a + b, a * s, a[k] and comparisons act lane by lane.
#include <cstdint>
#include <utility>

// Lanes of 32-byte vectors pass only between functions inlined into one
// compiled for a processor that has them (pipeline/interpolated_lanes.cpp):
// the warning that such an argument's calling convention differs without
// AVX concerns calls that are never made.
#pragma GCC diagnostic ignored "-Wpsabi"

template <int W>
struct LaneTypes {
    typedef float Float __attribute__((vector_size(4 * W)));
    typedef int32_t Int __attribute__((vector_size(4 * W)));
};
template <int W>
using FloatLanes = typename LaneTypes<W>::Float;
template <int W>
using IntLanes = typename LaneTypes<W>::Int;

template <class F>
constexpr int kLaneCount = static_cast<int>(sizeof(F) / sizeof(float));

// x in every lane.
template <class F>
F Broadcast(float x)
{
    F v{};
    for (int k = 0; k < kLaneCount<F>; ++k)
        v[k] = x;
    return v;
}

// The floats first, first + 1, ..., one a lane, each converted as
// static_cast<float> converts the int.
template <class F>
F CountingFrom(int first)
{
    constexpr int kW = kLaneCount<F>;
    IntLanes<kW> index{};
    for (int k = 0; k < kW; ++k)
        index[k] = k;
    return __builtin_convertvector(index + first, F);
}

// The widest lanes of floats this processor works on: 8 where it has AVX2,
// else 4 (SSE2, which every x86-64 has). Asked of the processor once; code
// compiled for 8 lanes runs only where this says 8.
int WidestLanes();

// How the two variants of a function in lanes are compiled. Each inlines
// every call it makes (flatten): lanes are never passed to a function
// compiled apart, whose convention for them could differ. The 8-lane one is
// compiled for AVX2 on x86-64, and called only where the processor has it;
// elsewhere it is compiled as it stands and never called.
#define FOUR_LANES_FUNCTION __attribute__((flatten))
#if defined(__x86_64__)
#define EIGHT_LANES_FUNCTION __attribute__((target("avx2"), flatten))
#else
#define EIGHT_LANES_FUNCTION __attribute__((flatten))
#endif

// A function's variants for lanes of 4 (SSE2, every x86-64) and of 8.
template <class Function>
struct LaneVariants {
    Function four, eight;

    // The variant for lanes of `width`: null for a width this build or
    // processor lacks.
    Function OfWidth(int width) const
    {
        if (width == 4) return four;
        if (width == 8 && WidestLanes() == 8) return eight;
        return nullptr;
    }
    // Calls the variant for lanes of `width`; false, calling none, where
    // there is none.
    template <class... Args>
    bool Call(int width, Args&&... args) const
    {
        const Function variant = OfWidth(width);
        if (variant == nullptr) return false;
        variant(std::forward<Args>(args)...);
        return true;
    }
};
