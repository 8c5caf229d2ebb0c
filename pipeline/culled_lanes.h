#pragma once

#include <cstdint>

#include "pipeline/corner_cache.h"
#include "pipeline/draw_observer.h"
#include "pipeline/triangle_stage.h"

struct DrawSetup;

// Triangles gathered to be culled together, laid out a triangle a lane: what
// culling reads of each (its corners' positions as fetched and its face's
// normal), and what it works out.
struct TriangleBatch {
    static constexpr int kSize = 8;

    int count = 0;
    int32_t fan[kSize][3];
    TriangleId id[kSize];
    float position[3][3][kSize] = {};  // [corner][axis]
    float normal[3][kSize] = {};       // [axis]
    // Set by CullBatch:
    float centroid[4][kSize] = {};     // in world space, [axis]
    float worldNormal[3][kSize] = {};  // [axis]
    bool front[kSize] = {};            // the face is drawn: it faces the eye, or culling is off

    void Add(const CornerFetch& fetch, const int32_t vertices[3], const Vector3& faceNormal,
             TriangleId from)
    {
        const int k = count;
        for (int c = 0; c < 3; ++c) {
            fan[k][c] = vertices[c];
            float p[3];
            fetch.PositionAsFetched(vertices[c], p);
            for (int axis = 0; axis < 3; ++axis)
                position[c][axis][k] = p[axis];
        }
        normal[0][k] = faceNormal.x;
        normal[1][k] = faceNormal.y;
        normal[2][k] = faceNormal.z;
        id[k] = from;
        count = k + 1;
    }
    bool Full() const { return count == kSize; }
    // Triangle k's face in world space.
    FaceInWorld WorldFace(int k) const
    {
        return {{centroid[0][k], centroid[1][k], centroid[2][k], centroid[3][k]},
                {worldNormal[0][k], worldNormal[1][k], worldNormal[2][k]}};
    }
};

// Each face of the batch taken to world space and culled, exactly as
// TriangleStage::FacesTheEye takes and culls one face, several faces at a
// time with the widest lanes this processor has.
void CullBatch(const DrawSetup& setup, TriangleBatch& batch);

// The same with lanes of `width`: 4 (SSE2, every x86-64) or 8 (AVX2, only
// where the processor has it); false, with nothing culled, for a width this
// build or processor lacks. For tests.
bool CullBatchWithLanes(int width, const DrawSetup& setup, TriangleBatch& batch);
