#include "pipeline/row_bands.h"

#include <algorithm>

namespace {

// Beyond every row a walk reaches: the triangle stage keeps corners within
// 8192 pixels of the window.
constexpr int kFarRow = 1 << 20;
// The strips each thread gets: more of them share the rows more evenly, but
// a triangle that crosses a strip's edge is set going in both strips.
constexpr int kStripsPerThread = 8;

}  // namespace

Band Band::Whole(int width, int height)
{
    return {{0, 0, width, height}, {-kFarRow, kFarRow}};
}

RowBands::RowBands(int width, int height, int threadCount)
    : width(width),
      height(height),
      threads(std::max(threadCount, 1)),
      lastRow(std::max(height - 1, 0))
{
    const int share = threads * kStripsPerThread;
    stripRows = std::max((height + share - 1) / share, 1);
    strips = std::max((height + stripRows - 1) / stripRows, 1);
    stripOfRow.resize(static_cast<std::size_t>(lastRow) + 1);
    for (int row = 0; row <= lastRow; ++row)
        stripOfRow[static_cast<std::size_t>(row)] = row / stripRows;
    threadOfStrip.resize(static_cast<std::size_t>(strips));
    for (int s = 0; s < strips; ++s)
        threadOfStrip[static_cast<std::size_t>(s)] = s % threads;
}

Band RowBands::Strip(int s) const
{
    const int top = s * stripRows;
    const int bottom = std::min(top + stripRows, height);
    return {{0, std::min(top, height), width, bottom},
            {s == 0 ? -kFarRow : top, s == strips - 1 ? kFarRow : bottom}};
}
