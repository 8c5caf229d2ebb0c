#include "lighting/color.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(Color, ToARGBTruncatesAndCutsAtOne)
{
    EXPECT_EQ(Color(0.5f, 1.5f, 0.0f, 2.0f).ToARGB(), 0xFF7FFF00u);
    EXPECT_EQ(Color(0.999f, 0, 0, 1).ToARGB(), 0xFFFE0000u);
}

TEST(Color, ToARGBPacksNaNAsFullAndNegativeAsZero)
{
    EXPECT_EQ(Color(NAN, -0.5f, -1e30f, 1).ToARGB(), 0xFFFF0000u);
}

TEST(Color, ColoursDifferWhenTheirPackedFormsDoNotWhenTheirFloatsDo)
{
    const Color grey(0.5f, 0.5f, 0.5f, 1);
    EXPECT_FALSE(ColorsDiffer(grey, grey));
    EXPECT_FALSE(ColorsDiffer(grey, Color(0.501f, 0.5f, 0.5f, 1)));  // packs alike
    EXPECT_TRUE(ColorsDiffer(grey, Color(0.51f, 0.5f, 0.5f, 1)));
    EXPECT_TRUE(ColorsDiffer(grey, Color(0.5f, 0.5f, 0.5f, 0.9f)));  // alpha counts
    // Channels the packing cuts alike: above 1, not a number, below 0.
    EXPECT_FALSE(ColorsDiffer(Color(1, NAN, -1, 1), Color(3, 1, 0, 1)));
    EXPECT_TRUE(ColorsDiffer(Color(NAN, 0, 0, 1), Color(0, 0, 0, 1)));
    // Packed colours are compared as they stand, and != is the same test.
    EXPECT_TRUE(ColorsDiffer(0xFF7F7F7Fu, 0xFF7F7F80u));
    EXPECT_FALSE(ColorsDiffer(grey.ToARGB(), grey.ToARGB()));
    EXPECT_FALSE(grey != Color(0.501f, 0.5f, 0.5f, 1));
    EXPECT_TRUE(grey != Color(0.51f, 0.5f, 0.5f, 1));
}

TEST(Color, SetARGBScalesEachByteByTheFloatReciprocal)
{
    const Color c(0x80FF4000u);
    EXPECT_EQ(c.r, 1.0f);
    EXPECT_EQ(c.g, 64 * 0.003921568859368563f);
    EXPECT_NEAR(c.g, 0.2509804f, 1e-7f);
    EXPECT_EQ(c.b, 0.0f);
    EXPECT_NEAR(c.a, 0.5019608f, 1e-7f);
    const Color black(0xFF000000u);
    EXPECT_EQ(black.r, 0.0f);
    EXPECT_EQ(black.a, 1.0f);
}

TEST(Color, EveryByteSurvivesTheRoundTrip)
{
    for (uint32_t v = 0; v < 256; ++v) {
        const uint32_t argb = (v << 24) | ((255 - v) << 16) | (v << 8) | (v ^ 0x5Au);
        EXPECT_EQ(Color(argb).ToARGB(), argb);
        Color c;
        c.SetBytes(static_cast<int>(v), 0, 0, 255);
        EXPECT_EQ(c.ToARGB(), 0xFF000000u | (v << 16));
    }
}

TEST(Color, ComparesAtEightBitPrecision)
{
    EXPECT_TRUE(Color(1, 1, 1, 1) != Color(0.999f, 1, 1, 1));
    EXPECT_FALSE(Color(0.5f, 0, 0, 1) != Color(0.501f, 0, 0, 1));
}

TEST(Color, MixInterpolatesAllFourChannels)
{
    const Color c1(0.1f, 0.2f, 0.3f, 0.4f), c2(0.9f, 0.8f, 0.7f, 0.0f);
    const Color at0 = Mix(c1, c2, 0), at1 = Mix(c1, c2, 1), mid = Mix(c1, c2, 0.5f);
    EXPECT_EQ(at0.r, c1.r);
    EXPECT_EQ(at0.a, c1.a);
    EXPECT_EQ(at1.g, c2.g);
    EXPECT_EQ(at1.a, c2.a);
    EXPECT_FLOAT_EQ(mid.a, 0.2f);
    // Evaluated as c2 t + c1 (1 - t), in that order.
    const float t = 0.3f;
    EXPECT_EQ(Mix(c1, c2, t).b, c2.b * t + c1.b * (1.0f - t));
}

TEST(Color, ScalingAndProductsIncludeAlpha)
{
    const Color c = Color(0.25f, 0.5f, 1, 0.5f) * 2.0f;
    EXPECT_EQ(c.a, 1.0f);
    EXPECT_EQ(c.b, 2.0f);  // never clamped by arithmetic
    EXPECT_EQ((Color(1, 1, 1, 0.5f) * Color(0.5f, 0.5f, 0.5f, 0.5f)).a, 0.25f);
    EXPECT_EQ(Color(0, 0, 0, 3).ClampedAlpha(), 1.0f);
    EXPECT_EQ(Color(0, 0, 0, 0.25f).ClampedAlpha(), 0.25f);
}

}  // namespace
