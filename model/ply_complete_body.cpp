#include "model/ply_complete_body.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "lighting/color.h"
#include "model/fatal_error.h"
#include "model/mesh_builder.h"
#include "model/mesh_memory.h"
#include "model/ply_binary_records.h"
#include "model/ply_complete_values.h"
#include "model/ply_records.h"

namespace {

// Where a target's value goes in the vertex's bytes: a float's four bytes,
// or a colour channel's byte of the packed colour, blue first. A table
// rather than a choice per value, as a vertex row reads a value per property.
std::size_t TargetField(PlyTarget target)
{
    static constexpr std::size_t kField[] = {
        kPlyNoField,  // Skip
        MeshLayout::kPosition,
        MeshLayout::kPosition + 4,
        MeshLayout::kPosition + 8,
        MeshLayout::kNormal,
        MeshLayout::kNormal + 4,
        MeshLayout::kNormal + 8,
        MeshLayout::kTexCoord,
        MeshLayout::kTexCoord + 4,
        MeshLayout::kColor + 2,
        MeshLayout::kColor + 1,
        MeshLayout::kColor,
        kPlyNoField,  // Corners
    };
    return kField[static_cast<int>(target)];
}

void StoreField(uint8_t* vertex, PlyTarget target, float value)
{
    std::memcpy(vertex + TargetField(target), &value, sizeof value);
}

void StoreChannel(uint8_t* vertex, PlyTarget target, float channel)
{
    vertex[TargetField(target)] = static_cast<uint8_t>(ChannelToByte(channel));
}

// The layout of a binary vertex row that holds only float positions, normals
// and texture coordinates, byte colours and values of fixed size passed over,
// as the window program's reader reads them: such rows are decoded in one go.
// Empty for any other row, which is read value by value.
std::vector<PlyVertexValue> DirectLayout(const PlyElement& element, const PlyElementPlan& plan)
{
    std::vector<PlyVertexValue> layout;
    for (std::size_t i = 0; i < element.properties.size(); ++i) {
        const PlyProperty& p = element.properties[i];
        const PlyTarget target = plan.targets[i];
        if (p.list) return {};
        const auto bytes = static_cast<uint8_t>(PlyTypeBytes(p.type));
        if (target == PlyTarget::Skip)
            layout.push_back({kPlyNoField, bytes, false});
        else if (target >= PlyTarget::Red && p.type == PlyType::UInt8)
            layout.push_back({TargetField(target), bytes, false});
        else if (target < PlyTarget::Red && p.type == PlyType::Float32)
            layout.push_back({TargetField(target), bytes, true});
        else
            return {};
    }
    return layout;
}

// A face element of one list of an 8-bit count and 4-byte indices, as the
// window program's reader reads it, and as most files hold their faces.
bool ByteCountedFaces(const PlyElement& element)
{
    if (element.properties.size() != 1) return false;
    const PlyProperty& p = element.properties[0];
    return p.list && p.countType == PlyType::UInt8 &&
           (p.type == PlyType::Int32 || p.type == PlyType::UInt32);
}

// An integer channel spans its type's range, a byte exactly as the canonical
// reader scales it; a float channel is clamped to 0..1.
float Channel(double value, PlyType type, const PlyValuePlace& place)
{
    if (std::isnan(value)) FailAt(place, "colour is not a number");
    if (type == PlyType::UInt8) return static_cast<float>(value) * Color::kByteScale;
    constexpr double kHighest[] = {127.0, 255.0, 32767.0, 65535.0, 2147483647.0, 4294967295.0};
    const double scaled = IsPlyIntegerType(type) ? value / kHighest[static_cast<int>(type)] : value;
    return static_cast<float>(std::clamp(scaled, 0.0, 1.0));
}

// A binary row's size when it has no lists, or 0.
std::size_t FixedRowBytes(const PlyElement& element)
{
    std::size_t bytes = 0;
    for (const PlyProperty& p : element.properties) {
        if (p.list) return 0;
        bytes += static_cast<std::size_t>(PlyTypeBytes(p.type));
    }
    return bytes;
}

template <class Values>
class ElementReader {
public:
    // `cloud`: the file has no faces, so a vertex can be left out.
    ElementReader(PlyInput& input, int32_t vertexCount, bool cloud, PlyMesh& mesh,
                  MeshSummary& summary)
        : values(input), vertexCount(vertexCount), cloud(cloud), mesh(mesh), summary(summary)
    {
    }

    void Read(const PlyElement& element, const PlyElementPlan& plan)
    {
        if (element.properties.empty()) return;
        PlyValuePlace place{&element, 0, nullptr};
        if constexpr (Values::kBinary)
            if (plan.role == PlyRole::Faces && ByteCountedFaces(element))
                return ByteCountedFaceRows(place);
        const std::size_t fixedBytes = FixedRowBytes(element);
        if (plan.role == PlyRole::Vertices) direct = DirectLayout(element, plan);
        for (; place.row < element.count; ++place.row) {
            // Memory is backed as the rows arrive, not as the header promises.
            if (StartsPrefaultBlock(place.row)) PrefaultBlock(plan.role);
            values.BeginRow(fixedBytes);
            if (plan.role == PlyRole::Vertices)
                VertexRow(plan, place);
            else
                ListRow(plan, place);
        }
    }

private:
    void PrefaultBlock(PlyRole role)
    {
        if (role == PlyRole::Vertices) PrefaultVertexBlock(mesh);
        if (role == PlyRole::Faces) PrefaultFaceBlock(mesh);
    }

    // Faces as the window program's reader reads them; a record cut short
    // is read on value by value, which says where it ends.
    void ByteCountedFaceRows(PlyValuePlace& place)
    {
        const PlyProperty& property = place.element->properties[0];
        place.property = &property;
        const auto check = [this, count = vertexCount, &place](int32_t index) {
            if (index < 0 || index >= count) CheckIndex(index, false, place);  // fails
            return index;
        };
        int n = 0;
        if (!values.Faces(mesh, place.element->count, place.row, check, n)) {
            if (n < 0) FailAt(place, "the file ends before this value");
            values.BeginRow(0);  // no row taken whole: the indices come from the file
            ReadIndices(property, false, place, n);
        }
        summary.fileFaces += place.element->count;
    }

    void VertexRow(const PlyElementPlan& plan, PlyValuePlace& place)
    {
        uint8_t* vertex = mesh.AddVertex();
        // A row of a direct layout is decoded in one go; one with a value
        // that is not finite is read again value by value, which says which
        // (or leaves the point out).
        if (values.DecodeRow(direct, vertex)) return;
        bool finite = true;
        const PlyProperty* property = place.element->properties.data();
        for (const PlyTarget target : plan.targets) {
            place.property = property;
            const PlyType type = property->type;
            if (target == PlyTarget::Skip) {
                Skip(*property, place);
            } else if (target >= PlyTarget::Red) {
                StoreChannel(vertex, target, Channel(values.Number(type, place), type, place));
            } else {
                const float value = values.Float(type, place);
                if (!std::isfinite(value)) {
                    if (!cloud) FailAt(place, "value is not a finite float");
                    finite = false;
                }
                StoreField(vertex, target, value);
            }
            ++property;
        }
        // Scanners write points they did not measure as NaN: in a cloud
        // they are left out, where faces would have to name them.
        if (!finite) {
            mesh.RemoveLastVertex();
            ++summary.droppedPoints;
        }
    }

    // A face's or a strip's row: its index list, every other property passed over.
    void ListRow(const PlyElementPlan& plan, PlyValuePlace& place)
    {
        for (std::size_t i = 0; i < plan.targets.size(); ++i) {
            const PlyProperty& property = place.element->properties[i];
            place.property = &property;
            if (plan.targets[i] == PlyTarget::Skip) {
                Skip(property, place);
                continue;
            }
            const bool strip = plan.role == PlyRole::Strips;
            std::size_t n = 0;
            const int32_t* corners = ReadCorners(property, strip, place, n);
            if (strip)
                AddTriangleStrip(mesh, corners, n, summary);
            else
                AddPolygon(mesh, corners, n, summary);
        }
    }

    // The row's n indices, each checked as it is read; a strip's -1 restarts pass.
    const int32_t* ReadCorners(const PlyProperty& property, bool restarts,
                               const PlyValuePlace& place, std::size_t& n)
    {
        const int64_t count = values.Integer(property.countType, place);
        if (count < 0) FailAt(place, "negative corner count " + std::to_string(count));
        n = static_cast<std::size_t>(count);
        int32_t* const buffer = inPlace.data();
        if (count <= kInPlace && values.Indices(property.type, n, buffer)) {
            for (std::size_t c = 0; c < n; ++c)
                CheckIndex(buffer[c], restarts, place);
            return buffer;
        }
        ReadIndices(property, restarts, place, count);
        return polygon.data();
    }

    // Value by value, kept as they are read: the list's length is not
    // trusted before its values are there.
    void ReadIndices(const PlyProperty& property, bool restarts, const PlyValuePlace& place,
                     int64_t count)
    {
        polygon.clear();
        for (int64_t c = 0; c < count; ++c) {
            int64_t index = values.Integer(property.type, place);
            if (restarts && index == UINT32_MAX) index = -1;  // -1 stored unsigned
            CheckIndex(index, restarts, place);
            polygon.push_back(static_cast<int32_t>(index));
        }
    }

    void CheckIndex(int64_t index, bool restarts, const PlyValuePlace& place) const
    {
        if ((index < 0 || index >= vertexCount) && !(restarts && index == -1))
            FailAt(place, "vertex index " + std::to_string(index) + " out of range 0.." +
                              std::to_string(vertexCount - 1));
    }

    static constexpr int64_t kInPlace = 256;  // lists this long are decoded in one go
    std::array<int32_t, kInPlace> inPlace;

    void Skip(const PlyProperty& property, const PlyValuePlace& place)
    {
        if (!property.list) {
            values.Skip(property.type, 1, place);
            return;
        }
        const int64_t n = values.Integer(property.countType, place);
        if (n < 0) FailAt(place, "negative list length " + std::to_string(n));
        values.Skip(property.type, static_cast<uint64_t>(n), place);
    }

    Values values;
    int32_t vertexCount;
    bool cloud;
    PlyMesh& mesh;
    MeshSummary& summary;
    std::vector<int32_t> polygon;        // a long list's indices, as they are read
    std::vector<PlyVertexValue> direct;  // the vertex rows' direct layout, or none
};

// The fewest bytes a row can take: a binary value its size (a list only its
// count), an ASCII value one character and one blank.
int64_t MinimumRowBytes(const PlyElement& element, bool binary)
{
    int64_t bytes = 0;
    for (const PlyProperty& p : element.properties)
        bytes += binary ? PlyTypeBytes(p.list ? p.countType : p.type) : 2;
    return bytes;
}

// Counts whose mesh could not fit in memory are refused, whether the input
// has a size or not. A point cloud gets a face per vertex.
void CheckMemory(const PlyLayout& layout, const std::vector<PlyElementPlan>& plans)
{
    int64_t vertices = 0, faces = 0;
    for (std::size_t e = 0; e < plans.size(); ++e) {
        if (plans[e].role == PlyRole::Vertices) vertices = layout.elements[e].count;
        if (plans[e].role == PlyRole::Faces || plans[e].role == PlyRole::Strips)
            faces += layout.elements[e].count;
    }
    const std::string shortfall = MeshMemoryShortfall(vertices, faces > 0 ? faces : vertices);
    if (!shortfall.empty()) PlyFail(shortfall);
}

// Counts the bytes left cannot hold, or whose mesh memory cannot hold, are
// refused before anything is allocated; counts that fit are reserved, so
// that no array grows by copies. bytesLeft < 0: the input has no size.
void PrepareBody(const PlyLayout& layout, const std::vector<PlyElementPlan>& plans,
                 std::size_t used, int64_t bytesLeft, PlyMesh& mesh)
{
    const bool binary = layout.encoding != PlyEncoding::Ascii;
    int64_t needed = 0, faces = 0;
    for (std::size_t e = 0; e < used && bytesLeft >= 0; ++e) {
        const PlyElement& element = layout.elements[e];
        needed += element.count * MinimumRowBytes(element, binary);
        if (needed > bytesLeft + (binary ? 0 : 1))
            PlyFail("element '" + element.name + "' count " + std::to_string(element.count) +
                    " does not fit in the " + std::to_string(bytesLeft) +
                    " bytes after the header");
    }
    CheckMemory(layout, plans);
    if (bytesLeft < 0) return;
    for (std::size_t e = 0; e < used; ++e) {
        if (plans[e].role == PlyRole::Vertices)
            mesh.vertices.data.reserve(static_cast<std::size_t>(layout.elements[e].count) *
                                       MeshLayout::kStride);
        if (plans[e].role == PlyRole::Faces) faces += layout.elements[e].count;
    }
    mesh.faces.Reserve(static_cast<std::size_t>(faces),
                       static_cast<std::size_t>(std::min(3 * faces, bytesLeft)));
}

// A binary body starts after the header's last line end, "\n", "\r\n" or a
// lone "\r" as the header's lines end.
void SkipLineEnd(PlyInput& input, bool loneCrLines)
{
    const int c = input.Get();
    if (c == '\r' && !loneCrLines && input.Peek() == '\n') input.Get();
    if (c != '\n' && c != '\r') PlyFail("no line end after end_header");
}

// Elements after the last one the mesh uses are never read (nor need their
// bytes), as the canonical reader never reads past its faces.
std::size_t UsedElements(const std::vector<PlyElementPlan>& plans)
{
    std::size_t used = 0;
    for (std::size_t e = 0; e < plans.size(); ++e)
        if (plans[e].role != PlyRole::Skip) used = e + 1;
    return used;
}

template <class Values>
void ReadElements(PlyInput& input, const PlyLayout& layout,
                  const std::vector<PlyElementPlan>& plans, std::size_t used, PlyMesh& mesh,
                  MeshSummary& summary)
{
    int32_t vertexCount = 0;
    bool cloud = true;
    for (std::size_t e = 0; e < plans.size(); ++e) {
        if (plans[e].role == PlyRole::Vertices) vertexCount = layout.elements[e].count;
        if (plans[e].role != PlyRole::Vertices && plans[e].role != PlyRole::Skip)
            cloud &= layout.elements[e].count == 0;
    }
    ElementReader<Values> reader(input, vertexCount, cloud, mesh, summary);
    for (std::size_t e = 0; e < used; ++e)
        reader.Read(layout.elements[e], plans[e]);
}

}  // namespace

void ReadCompletePlyBody(PlyInput& input, const PlyLayout& layout,
                         const std::vector<PlyElementPlan>& plans, PlyMesh& mesh,
                         MeshSummary& summary)
{
    if (layout.encoding != PlyEncoding::Ascii) SkipLineEnd(input, layout.loneCrLines);
    const std::size_t used = UsedElements(plans);
    PrepareBody(layout, plans, used, input.BytesLeft(), mesh);
    if (layout.encoding == PlyEncoding::Ascii)
        ReadElements<PlyAsciiValues>(input, layout, plans, used, mesh, summary);
    else if (layout.encoding == PlyEncoding::BinaryLittleEndian)
        ReadElements<PlyBinaryValues<false>>(input, layout, plans, used, mesh, summary);
    else
        ReadElements<PlyBinaryValues<true>>(input, layout, plans, used, mesh, summary);
}
