// zbuffer-import: converts a mesh of any kind the import reads into the PLY
// form the window program opens, so that `zbuffer OUT.ply` draws the model
// `--import` would draw.
#include <cerrno>
#include <iostream>
#include <stdexcept>
#include <string>

#include "app/import_options.h"
#include "app/output_clash.h"
#include "app/program_version.h"
#include "model/fatal_error.h"
#include "model/mesh_import.h"
#include "model/ply_reader.h"
#include "model/ply_writer.h"
#include "model/printable_text.h"
#include "render/replacing_file.h"

namespace {

struct ReadFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void ThrowReadFailure(const char* /*what*/, const char* detail)
{
    throw ReadFailure(detail);
}

std::string Shown(const std::string& path)
{
    return PrintableText(path);
}

std::string Joined(const std::vector<std::string>& words)
{
    std::string text;
    for (const std::string& w : words)
        text += (text.empty() ? "" : ", ") + w;
    return text;
}

// What the window program will read back from the temporary file.
bool ReadsBackTheSame(const ReplacingFile& file, const Model& model)
{
    try {
        return SameModel(Model(file.TemporaryPath()), model);
    } catch (const ReadFailure&) {
        return false;
    }
}

// The model as written is read back by the canonical reader. Where its
// orientation test would turn the mesh over (it cannot decide, say, on a
// flat mesh), the model is written turned, so that the reader turns it back.
bool WriteChecked(ReplacingFile& file, const Model& model, bool& same, std::string* error)
{
    for (const bool turned : {false, true}) {
        if ((turned && !file.Rewind()) || !WriteModelPly(model, turned, file.Stream()) ||
            std::fflush(file.Stream()) != 0)
            return file.Fail(errno, error);
        same = ReadsBackTheSame(file, model);
        if (same) return true;
    }
    // The plain form is the truest when neither reads back the same.
    return (file.Rewind() && WriteModelPly(model, false, file.Stream())) || file.Fail(errno, error);
}

void PrintSummary(const ImportOptions& o, const MeshSummary& s, const Model& model, bool same)
{
    std::cout << "read " << Shown(o.in) << " (" << s.format << ")\n";
    std::cout << "kept: " << model.vertices.count << " vertices (" << Joined(s.kept) << "), ";
    if (s.pointCloud)
        std::cout << "no faces: a point cloud, written as " << model.faces.count
                  << " faces of three corners on one vertex, which zbuffer draws as points\n";
    else
        std::cout << s.fileFaces << " faces\n";
    if (s.splitFaces > 0)
        std::cout << "split: " << s.splitFaces << " faces of more than 255 corners into fans\n";
    if (s.droppedPoints > 0)
        std::cout << "dropped: " << s.droppedPoints << " points without finite coordinates\n";
    if (s.droppedFaces > 0)
        std::cout << "dropped: " << s.droppedFaces << " strip triangles without area\n";
    if (!s.skipped.empty()) std::cout << "skipped: " << Joined(s.skipped) << "\n";
    std::cout << "wrote " << Shown(o.out) << ": " << model.vertices.count << " vertices, "
              << model.faces.count << " faces\n";
    if (!same)
        std::cout << "note: zbuffer reads " << Shown(o.out)
                  << " with another orientation than the import's\n";
}

int Convert(const ImportOptions& o)
{
    SetFatalErrorHandler(ThrowReadFailure);
    MeshSummary summary;
    try {
        const Model model = ImportMesh(o.in, o.framing, &summary);
        ReplacingFile file(o.out);
        std::string error;
        bool same = false;
        if (!file.Open(&error) || !WriteChecked(file, model, same, &error) ||
            !file.Commit(&error)) {
            std::cerr << "zbuffer-import: cannot write " << Shown(error) << "\n";
            return 1;
        }
        PrintSummary(o, summary, model, same);
    } catch (const ReadFailure& e) {
        std::cerr << "zbuffer-import: " << Shown(o.in) << ": " << e.what() << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const ParsedImportOptions parsed = ParseImportOptions(argc, argv);
    const ImportOptions& o = parsed.options;
    if (!parsed.error.empty()) {
        std::cerr << "zbuffer-import: " << Shown(parsed.error) << "\n" << kImportUsage;
        return 2;
    }
    if (o.help) {
        std::cout << kImportUsage;
        return 0;
    }
    if (o.version) {
        std::cout << "zbuffer-import " << kProgramVersion << "\n";
        return 0;
    }
    if (SameFile(o.in, o.out)) {
        std::cerr << "zbuffer-import: " << Shown(o.out) << " is the input file; give another\n";
        return 2;
    }
    return Convert(o);
}
