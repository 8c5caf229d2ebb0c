#pragma once

#include "math/lanes.h"  // Depth works on lanes too
#include "pipeline/pipeline_vertex.h"

// The two ends a fragment is interpolated between, with what every fragment
// reads of them copied once per walk or span row: the frame-buffer writes of
// the pixel loop could alias the vertices, so the compiler would otherwise
// reload them for every pixel. The depth is worked out for one fragment
// (t a float) or for lanes of fragments alike (math/lanes.h).
struct FragmentEnds {
    FragmentEnds(const PipelineVertex& a, const PipelineVertex& b, bool coloursDiffer)
        : a(a),
          b(b),
          colorA(a.color),
          colorB(b.color),
          depthA(a.windowPos.z),
          depthB(b.windowPos.z),
          coloursDiffer(coloursDiffer)
    {
    }
    // The depth: (1 - t) a + t b.
    template <class F>
    F Depth(F t) const
    {
        return (1.0f - t) * depthA + t * depthB;
    }
    // The colour: colours that pack alike are not interpolated; the fragment
    // keeps a's.
    Color ColorAt(float t) const { return coloursDiffer ? Mix(colorA, colorB, t) : colorA; }

    const PipelineVertex& a;
    const PipelineVertex& b;
    Color colorA, colorB;
    float depthA, depthB;
    bool coloursDiffer;  // the ends' colours differ at 8 bits
};
