#pragma once

#include <algorithm>
#include <vector>

#include "pipeline/edge_steps.h"

// Rows top .. bottom - 1.
struct RowRange {
    int top, bottom;
};

// The part of a frame buffer that one thread of a draw converts: the pixels
// it writes (`box`), and the rows whose fragments it counts in an observed
// draw (`rows`): the box's rows, and for the band of the frame's first row
// (of its last) every row above (below) the frame too, so that each fragment
// off the frame is counted once.
struct Band {
    PixelBox box;
    RowRange rows;

    // The whole frame buffer, and every row.
    static Band Whole(int width, int height);
};

// The rows of a frame buffer dealt out to the threads of a draw: strips of a
// few rows each, strip s to thread s mod the threads. Each thread gets
// strips from the top of the frame to the bottom, so that whatever part of
// the frame a mesh covers, the threads share its rows about evenly.
class RowBands {
public:
    RowBands(int width, int height, int threads);

    int Threads() const { return threads; }
    // Calls visit(thread) for each thread with a band that holds one of the
    // rows first .. last.
    template <class Visit>
    void ForEachThread(int first, int last, Visit visit) const
    {
        const int s0 = StripOf(first);
        const int end = std::min(StripOf(last) + 1, s0 + threads);
        for (int s = s0; s < end; ++s)
            visit(ThreadOf(s));
    }
    // Whether rows first .. last lie in at most one band of each thread.
    bool InOneBandOfEach(int first, int last) const
    {
        return StripOf(last) - StripOf(first) < threads;
    }
    // Whether they lie in one band: its rows are all of the frame's rows
    // among them.
    bool InOneBand(int first, int last) const { return StripOf(last) == StripOf(first); }
    int StripRows() const { return stripRows; }
    // Calls visit(band) for each band of `thread` that holds one of the rows
    // first .. last, from the top down. Rows outside the frame count as its
    // first or last row: an observed draw converts them there.
    template <class Visit>
    void ForEachBand(int thread, int first, int last, Visit visit) const
    {
        const int s0 = StripOf(first), s1 = StripOf(last);
        int ahead = thread - ThreadOf(s0);  // strips from s0 to the thread's first
        if (ahead < 0) ahead += threads;
        for (int s = s0 + ahead; s <= s1; s += threads)
            visit(Strip(s));
    }

private:
    int width, height, threads;
    int lastRow;  // 0 for a frame without rows
    int stripRows;
    int strips;  // at least one, even for a frame without rows
    // Looked up, not divided: every thread asks for the strips of every
    // triangle, several times, and a division takes longer than the rest.
    std::vector<int> stripOfRow;     // [row]
    std::vector<int> threadOfStrip;  // [strip]: strip mod threads

    int StripOf(int row) const
    {
        return stripOfRow[static_cast<std::size_t>(std::clamp(row, 0, lastRow))];
    }
    int ThreadOf(int strip) const { return threadOfStrip[static_cast<std::size_t>(strip)]; }
    Band Strip(int s) const;
};

// The rows a thread of a draw converts: the bands of `thread`, or with no
// bands the whole frame (a draw on one thread).
struct OwnRows {
    const RowBands* bands = nullptr;
    int thread = 0;
};
