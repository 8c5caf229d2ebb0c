#include "bench/gl_peer/triangle_indices.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/face_list.h"

namespace {

FaceList Faces(const std::vector<std::vector<int32_t>>& polygons)
{
    FaceList faces;
    faces.Resize(static_cast<int32_t>(polygons.size()));
    for (int32_t f = 0; f < faces.count; ++f)
        faces.SetFace(f, static_cast<int32_t>(polygons[f].size()), polygons[f].data());
    return faces;
}

using Indices = std::vector<uint32_t>;

TEST(TriangleIndices, KeepsTrianglesInFileOrder)
{
    EXPECT_EQ(TriangleIndices(Faces({{0, 1, 2}, {3, 2, 1}}), 4), (Indices{0, 1, 2, 3, 2, 1}));
}

TEST(TriangleIndices, SplitsLargerFacesIntoFansFromTheFirstCorner)
{
    EXPECT_EQ(TriangleIndices(Faces({{4, 5, 6, 7}}), 8), (Indices{4, 5, 6, 4, 6, 7}));
    EXPECT_EQ(TriangleIndices(Faces({{0, 1, 2, 3, 4}}), 5), (Indices{0, 1, 2, 0, 2, 3, 0, 3, 4}));
}

TEST(TriangleIndices, LeavesOutFacesTheRendererSkips)
{
    const FaceList faces = Faces({{0, 1}, {0, 1, 3}, {0, 1, 2}, {-1, 0, 1}, {}, {2, 1, 0}});
    EXPECT_EQ(TriangleIndices(faces, 3), (Indices{0, 1, 2, 2, 1, 0}));
}

TEST(TriangleIndices, EmptyForAMeshWithoutFaces)
{
    EXPECT_TRUE(TriangleIndices(FaceList(), 0).empty());
}

}  // namespace
