#include "model/ply_complete_plan.h"

#include <algorithm>
#include <string>

#include "model/fatal_error.h"

namespace {

// A vertex attribute and the spellings of its properties, in target order.
struct AttributeNames {
    const char* attribute;
    PlyTarget first;
    int memberCount;
    std::vector<std::vector<const char*>> spellings;
};

const std::vector<AttributeNames>& Attributes()
{
    static const std::vector<AttributeNames> kAttributes = {
        {"positions", PlyTarget::X, 3, {{"x", "y", "z"}}},
        {"normals",
         PlyTarget::NormalX,
         3,
         {{"nx", "ny", "nz"}, {"normal_x", "normal_y", "normal_z"}}},
        {"texture coordinates",
         PlyTarget::U,
         2,
         {{"u", "v"}, {"s", "t"}, {"texture_u", "texture_v"}, {"texture_s", "texture_t"}}},
        {"colours",
         PlyTarget::Red,
         3,
         {{"red", "green", "blue"},
          {"r", "g", "b"},
          {"diffuse_red", "diffuse_green", "diffuse_blue"}}},
    };
    return kAttributes;
}

// The index of the scalar property of that name still unclaimed, or -1.
int FindScalar(const PlyElement& element, const std::vector<PlyTarget>& targets, const char* name)
{
    for (std::size_t i = 0; i < element.properties.size(); ++i)
        if (!element.properties[i].list && targets[i] == PlyTarget::Skip &&
            element.properties[i].name == name)
            return static_cast<int>(i);
    return -1;
}

// Claims the first spelling whose every member the element has.
bool ClaimAttribute(const PlyElement& element, const AttributeNames& names,
                    std::vector<PlyTarget>& targets)
{
    for (const std::vector<const char*>& spelling : names.spellings) {
        std::vector<int> found;
        for (const char* name : spelling)
            found.push_back(FindScalar(element, targets, name));
        if (std::find(found.begin(), found.end(), -1) != found.end()) continue;
        for (int m = 0; m < names.memberCount; ++m)
            targets[found[m]] = static_cast<PlyTarget>(static_cast<int>(names.first) + m);
        return true;
    }
    return false;
}

PlyElementPlan PlanVertices(const PlyElement& element, MeshSummary& summary)
{
    PlyElementPlan plan{PlyRole::Vertices, std::vector<PlyTarget>(element.properties.size())};
    for (const AttributeNames& names : Attributes()) {
        if (ClaimAttribute(element, names, plan.targets))
            NoteOnce(summary.kept, names.attribute);
        else if (names.first == PlyTarget::X)
            PlyFail("vertex element without x, y, z");
    }
    return plan;
}

// The index list of a face or strip element; -1 when it has none.
int IndexList(const PlyElement& element)
{
    for (std::size_t i = 0; i < element.properties.size(); ++i) {
        const PlyProperty& p = element.properties[i];
        if (p.list && IsPlyIntegerType(p.type) &&
            (p.name == "vertex_indices" || p.name == "vertex_index"))
            return static_cast<int>(i);
    }
    return -1;
}

PlyElementPlan PlanElement(const PlyElement& element, bool haveVertices)
{
    const std::size_t n = element.properties.size();
    if (element.name == "vertex" && !haveVertices) return {PlyRole::Vertices, {}};
    const int list = IndexList(element);
    if (list < 0 || (element.name != "face" && element.name != "tristrips"))
        return {PlyRole::Skip, std::vector<PlyTarget>(n)};
    PlyElementPlan plan{element.name == "face" ? PlyRole::Faces : PlyRole::Strips,
                        std::vector<PlyTarget>(n)};
    plan.targets[list] = PlyTarget::Corners;
    return plan;
}

void NoteSkipped(const PlyElement& element, const PlyElementPlan& plan, MeshSummary& summary)
{
    if (plan.role == PlyRole::Skip) {
        if (element.count > 0)
            NoteOnce(summary.skipped, "element '" + element.name + "' (" +
                                          std::to_string(element.count) +
                                          (element.count == 1 ? " row)" : " rows)"));
        return;
    }
    for (std::size_t i = 0; i < element.properties.size(); ++i)
        if (plan.targets[i] == PlyTarget::Skip)
            NoteOnce(summary.skipped,
                     element.name + " property '" + element.properties[i].name + "'");
}

}  // namespace

std::vector<PlyElementPlan> PlanPlyElements(const PlyLayout& layout, MeshSummary& summary)
{
    std::vector<PlyElementPlan> plans;
    bool haveVertices = false;
    for (const PlyElement& element : layout.elements) {
        PlyElementPlan plan = PlanElement(element, haveVertices);
        if (plan.role == PlyRole::Vertices) {
            plan = PlanVertices(element, summary);
            haveVertices = true;
        }
        NoteSkipped(element, plan, summary);
        plans.push_back(std::move(plan));
    }
    if (!haveVertices) PlyFail("no vertex element");
    return plans;
}

bool PlanHasNormals(const std::vector<PlyElementPlan>& plans)
{
    for (const PlyElementPlan& plan : plans)
        if (plan.role == PlyRole::Vertices)
            return std::count(plan.targets.begin(), plan.targets.end(), PlyTarget::NormalX) > 0;
    return false;
}
