#pragma once

// An observed draw: the fragments of the draw's kind, each counted where the
// road of the pipeline takes it, and those of watched pixels recorded. The
// fragments are shaded by the kind itself, so an observed frame is the
// frame; chosen once per draw, beside the kinds, so that a draw that is not
// observed runs exactly as before.
#include <cstddef>
#include <cstdint>

#include "pipeline/draw_observer.h"
#include "pipeline/draw_setup.h"
#include "pipeline/fragment_stage.h"
#include "render/frame_buffer.h"

template <class Kind>
class ObservedFragments;

// The observed fragments of one walk, or of one triangle's spans: shaded as
// the kind's (Shade), and counted, with where they come from; PassOver
// counts those outside the frame buffer, which the walk or span passes over
// without visiting (they would write nothing).
template <class Kind>
class FragmentsFrom {
public:
    FragmentsFrom(ObservedFragments<Kind>& fragments, TriangleId triangle, FragmentSource source)
        : triangle(triangle), source(source), fragments(fragments)
    {
    }
    void Shade(const FragmentEnds& ends, Pixel* pixel, float t, PipelineVertex* record)
    {
        fragments.Shade(ends, pixel, t, record, *this);
    }
    void PassOver(int64_t offscreen) { fragments.PassOver(offscreen); }

    TriangleId triangle;
    FragmentSource source;

private:
    ObservedFragments<Kind>& fragments;
};

template <class Kind>
class ObservedFragments {
public:
    ObservedFragments(Kind& kind, DrawObserver& observer, FrameBuffer& target, bool depthTest)
        : kind(kind), observer(observer), pixels(target.pixels.data()), depthTest(depthTest)
    {
    }

    FragmentsFrom<Kind> From(TriangleId triangle, FragmentSource source)
    {
        return {*this, triangle, source};
    }
    // The triangle stage's outcome for one triangle.
    void Count(TriangleFate fate) { counts.Count(fate); }
    // What this draw's stages counted, kept apart from the observer's totals
    // until the draw ends: a draw in parts (bands of rows) adds up its parts.
    const PipelineCounts& Counts() const { return counts; }

private:
    friend class FragmentsFrom<Kind>;

    Kind& kind;
    DrawObserver& observer;  // the pixels' tallies and histories
    PipelineCounts counts;
    Pixel* pixels;  // the frame buffer's, which the observer's tallies mirror
    bool depthTest;

    void Shade(const FragmentEnds& ends, Pixel* pixel, float t, PipelineVertex* record,
               const FragmentsFrom<Kind>& from);
    // The depth test's outcome, in the pixel's tally and the counts.
    void Tally(PixelTally& tally, bool passed, const FragmentsFrom<Kind>& from);
    void PassOver(int64_t offscreen)
    {
        counts.fragments += offscreen;
        counts.offscreen += offscreen;
    }
};

// An observed draw's fragment stage, of the set-up's kind: WithFragmentStage,
// with every fragment seen by `observer`, and what it counted added to
// `counts` when it ends: the observer's, or those of one part of a draw in
// parts, which the parts' owner adds up.
template <class Draw>
void WithFragmentStage(const DrawSetup& setup, DrawObserver& observer, PipelineCounts& counts,
                       Draw draw)
{
    WithFragmentStage(setup, [&](auto& kind) {
        ObservedFragments observed(kind, observer, *setup.frameBuffer, setup.depthTest);
        draw(observed);
        counts.Add(observed.Counts());
    });
}

template <class Kind>
void ObservedFragments<Kind>::Shade(const FragmentEnds& ends, Pixel* pixel, float t,
                                    PipelineVertex* record, const FragmentsFrom<Kind>& from)
{
    // Outside the frame buffer a fragment is worked out only for its edge
    // list entry: the walk counts it (PassOver).
    if (pixel == nullptr) {
        kind.Shade(ends, nullptr, t, record);
        return;
    }
    const float depth = ends.Depth(t);
    const float stored = pixel->depth;
    const bool passed = !depthTest || FrameBuffer::PassesDepthTest(*pixel, depth);
    PixelTally& tally = observer.At(static_cast<std::size_t>(pixel - pixels));
    Tally(tally, passed, from);
    if (tally.watch < 0) {
        kind.Shade(ends, pixel, t, record);
        return;
    }
    // A watched pixel's fragment is written at once, with the fragments
    // waiting for their lighting before it, so that its colour and the
    // pixel's after it are known now.
    kind.Finish();
    PipelineVertex alone;
    PixelEvent event{from.triangle, from.source, t, depth, stored, passed, {}, {}};
    event.color = ShadeAlone(kind, ends, pixel, t, record != nullptr ? *record : alone);
    event.result = pixel->color;
    observer.Record(tally.watch, event);
}

template <class Kind>
void ObservedFragments<Kind>::Tally(PixelTally& tally, bool passed, const FragmentsFrom<Kind>& from)
{
    ++counts.fragments;
    ++tally.fragments;
    if (!passed) {
        ++counts.depthFailed;
        return;
    }
    // Every fragment that passes is written: the blend is always on.
    ++counts.depthPassed;
    ++counts.written;
    tally.face = from.triangle.face;
    tally.source = from.source;
}
