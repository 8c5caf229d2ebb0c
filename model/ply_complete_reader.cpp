#include "model/ply_complete_reader.h"

#include "model/fatal_error.h"
#include "model/ply_complete_body.h"
#include "model/ply_complete_header.h"
#include "model/ply_complete_plan.h"

namespace {

const char* FormatName(PlyEncoding encoding)
{
    switch (encoding) {
        case PlyEncoding::BinaryBigEndian:
            return "PLY binary big-endian";
        case PlyEncoding::BinaryLittleEndian:
            return "PLY binary little-endian";
        case PlyEncoding::Ascii:
            break;
    }
    return "PLY ASCII";
}

int32_t VertexCount(const PlyLayout& layout, const std::vector<PlyElementPlan>& plans)
{
    for (std::size_t e = 0; e < plans.size(); ++e)
        if (plans[e].role == PlyRole::Vertices) return layout.elements[e].count;
    return 0;
}

}  // namespace

PlyMesh ReadCompletePly(PlyInput& input, bool& fileNormals, MeshSummary& summary)
{
    const PlyLayout layout = ParseCompletePlyHeader(input);
    summary.format = FormatName(layout.encoding);
    const std::vector<PlyElementPlan> plans = PlanPlyElements(layout, summary);
    if (VertexCount(layout, plans) == 0) PlyFail("no vertices");
    fileNormals = PlanHasNormals(plans);
    PlyMesh mesh;
    ReadCompletePlyBody(input, layout, plans, mesh, summary);
    if (mesh.VertexCount() == 0) PlyFail("no vertex has finite coordinates");
    return mesh;
}
