#include "pipeline/row_bands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// The threads whose bands hold `row` of a frame of `height` rows, and the
// band each found (the last one).
std::vector<int> OwnersOf(const RowBands& bands, int row, Band* band = nullptr)
{
    std::vector<int> owners;
    for (int t = 0; t < bands.Threads(); ++t)
        bands.ForEachBand(t, row, row, [&](const Band& b) {
            owners.push_back(t);
            if (band != nullptr) *band = b;
        });
    return owners;
}

TEST(RowBands, EveryRowOfTheFrameBelongsToOneThreadInTheBandThatWritesIt)
{
    for (const int height : {1, 2, 7, 64, 480, 481}) {
        for (const int threads : {1, 2, 3, 5, 8, 256}) {
            const RowBands bands(33, height, threads);
            for (int row = 0; row < height; ++row) {
                Band band{};
                const std::vector<int> owners = OwnersOf(bands, row, &band);
                ASSERT_EQ(owners.size(), 1u) << height << " rows, " << threads << " threads";
                EXPECT_TRUE(band.box.Contains(0, row) && band.box.Contains(32, row));
                EXPECT_FALSE(band.box.Contains(-1, row) || band.box.Contains(33, row));
                EXPECT_TRUE(row >= band.rows.top && row < band.rows.bottom);
                EXPECT_TRUE(band.box.top >= 0 && band.box.bottom <= height);
            }
        }
    }
}

TEST(RowBands, TheRowsAreDealtOutInStripsFromTheTopDown)
{
    const RowBands bands(480, 480, 2);
    EXPECT_EQ(bands.StripRows(), 30);  // eight strips a thread
    std::vector<int> rowsOf(2, 0);
    for (int row = 0; row < 480; ++row)
        ++rowsOf[static_cast<std::size_t>(OwnersOf(bands, row).at(0))];
    EXPECT_EQ(rowsOf[0], 240);
    EXPECT_EQ(rowsOf[1], 240);
    EXPECT_EQ(OwnersOf(bands, 29), std::vector<int>{0});
    EXPECT_EQ(OwnersOf(bands, 30), std::vector<int>{1});
    EXPECT_EQ(OwnersOf(bands, 60), std::vector<int>{0});
}

TEST(RowBands, AFrameOfFewerRowsThanThreadsLeavesTheOtherThreadsNoBand)
{
    const RowBands bands(10, 3, 8);
    int visited = 0;
    for (int t = 0; t < 8; ++t) {
        int mine = 0;
        bands.ForEachBand(t, -5, 10, [&](const Band&) { ++mine; });
        EXPECT_EQ(mine, t < 3 ? 1 : 0) << t;
        visited += mine;
    }
    EXPECT_EQ(visited, 3);
}

TEST(RowBands, ATriangleOverTheWholeFrameIsVisitedInEveryBandOnce)
{
    const RowBands bands(64, 64, 3);
    int rows = 0;
    for (int t = 0; t < 3; ++t) {
        int previousBottom = -1;
        bands.ForEachBand(t, -100, 200, [&](const Band& band) {
            EXPECT_GT(band.box.top, previousBottom) << "bands from the top down";
            previousBottom = band.box.top;
            rows += band.box.bottom - band.box.top;
        });
    }
    EXPECT_EQ(rows, 64);
}

TEST(RowBands, AOneRowTriangleIsConvertedByOneThread)
{
    const RowBands bands(64, 64, 3);
    for (const int row : {0, 2, 3, 40, 63}) {
        Band band{};
        EXPECT_EQ(OwnersOf(bands, row, &band).size(), 1u) << row;
        EXPECT_EQ(band.box.top, row / bands.StripRows() * bands.StripRows());
    }
}

// Rows off the frame are converted by the threads of its first and last
// rows: in an observed draw, they count those rows' fragments.
TEST(RowBands, RowsAboveAndBelowTheFrameBelongToItsFirstAndLastBands)
{
    const RowBands bands(64, 64, 3);
    Band above{}, first{}, below{}, last{};
    EXPECT_EQ(OwnersOf(bands, -1000, &above), OwnersOf(bands, 0, &first));
    EXPECT_EQ(OwnersOf(bands, 5000, &below), OwnersOf(bands, 63, &last));
    EXPECT_LE(above.rows.top, -8193);
    EXPECT_GE(below.rows.bottom, 8194);
    EXPECT_EQ(above.box.top, 0);
    EXPECT_EQ(below.box.bottom, 64);
    Band middle{};
    OwnersOf(bands, 30, &middle);
    EXPECT_EQ(middle.rows.top, middle.box.top);
    EXPECT_EQ(middle.rows.bottom, middle.box.bottom);
}

TEST(RowBands, AFrameWithoutRowsHasOneEmptyBandThatCountsEveryRow)
{
    const RowBands bands(64, 0, 4);
    Band band{};
    EXPECT_EQ(OwnersOf(bands, 7, &band), std::vector<int>{0});
    EXPECT_EQ(band.box.bottom, band.box.top);
    EXPECT_LT(band.rows.top, -8192);
    EXPECT_GT(band.rows.bottom, 8192);
}

// The first step of a draw lists a triangle for exactly the threads that
// convert one of its rows: a thread left out would miss its pixels, one
// listed twice would draw them twice. A thread that holds one band of its
// rows alone may take the set-up's depth test for that band's, and a
// triangle in one band may be tested over the whole frame.
TEST(RowBands, ATriangleIsListedForEachThreadWithABandOfItsRowsOnce)
{
    for (const int height : {0, 3, 64, 481}) {
        for (const int threads : {1, 2, 3, 8}) {
            const RowBands bands(16, height, threads);
            for (const int first : {-9000, -1, 0, 5, 29, 30, 200}) {
                for (const int last :
                     {first, first + 1, first + 31, first + 59, first + 60, first + 500, 9000}) {
                    std::vector<int> listed(static_cast<std::size_t>(threads), 0);
                    int mostHeld = 0, allHeld = 0;
                    bands.ForEachThread(first, last,
                                        [&](int t) { ++listed[static_cast<std::size_t>(t)]; });
                    for (int t = 0; t < threads; ++t) {
                        int held = 0;
                        bands.ForEachBand(t, first, last, [&](const Band&) { ++held; });
                        EXPECT_EQ(listed[static_cast<std::size_t>(t)], held > 0 ? 1 : 0)
                            << height << " rows, " << threads << " threads, rows " << first
                            << " .. " << last << ", thread " << t;
                        mostHeld = std::max(mostHeld, held);
                        allHeld += held;
                    }
                    EXPECT_EQ(bands.InOneBand(first, last), allHeld == 1)
                        << height << " rows, " << threads << " threads, rows " << first << " .. "
                        << last;
                    EXPECT_EQ(bands.InOneBandOfEach(first, last), mostHeld <= 1)
                        << height << " rows, " << threads << " threads, rows " << first << " .. "
                        << last;
                }
            }
        }
    }
}

}  // namespace
