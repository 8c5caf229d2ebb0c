#include "app/output_clash.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>
#include <optional>
#include <vector>

namespace {

// An input file, as the file system knows it.
struct InputFile {
    const char* what;
    std::string path;
    dev_t device;
    ino_t inode;
};

std::vector<InputFile> InputFiles(const RenderOptions& o)
{
    std::vector<InputFile> inputs;
    const auto add = [&inputs](const char* what, const std::string& path) {
        struct stat info {};
        if (stat(path.c_str(), &info) == 0)
            inputs.push_back({what, path, info.st_dev, info.st_ino});
    };
    if (o.meshPath) add("mesh", *o.meshPath);
    if (o.texture) add("texture", *o.texture);
    return inputs;
}

// Empty, or why writing `name` would replace one of the inputs.
std::string Clash(const std::string& name, const std::vector<InputFile>& inputs)
{
    struct stat info {};
    if (stat(name.c_str(), &info) != 0) return "";
    for (const InputFile& input : inputs)
        if (info.st_dev == input.device && info.st_ino == input.inode)
            return "--out: '" + name + "' is the " + input.what + " file '" + input.path +
                   "'; the picture would be written over it";
    return "";
}

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};

// A numbered name may make more names than could be looked at one by one
// (--frames 2147483647): only the existing files of the folder the names are
// in can be inputs, so those are the ones looked at.
std::string NumberedClash(const FrameFileName& out, int frames,
                          const std::vector<InputFile>& inputs)
{
    const std::string folder = out.Folder();
    const std::unique_ptr<DIR, DirCloser> dir(opendir(folder.empty() ? "." : folder.c_str()));
    if (!dir) return "";
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = folder + entry->d_name + out.BelowFirstFolder();
        const std::optional<int> frame = out.FrameNamed(name);
        if (!frame || *frame >= frames) continue;
        const std::string clash = Clash(name, inputs);
        if (!clash.empty()) return clash;
    }
    return "";
}

}  // namespace

std::string OutputClash(const RenderOptions& o)
{
    if (o.bench) return "";
    const std::vector<InputFile> inputs = InputFiles(o);
    const FrameFileName out = o.out.value_or(FrameFileName("frame.png"));
    if (inputs.empty()) return "";
    if (!out.IsNumbered()) return Clash(out.ForFrame(0), inputs);
    return NumberedClash(out, o.frames, inputs);
}

bool SameFile(const std::string& a, const std::string& b)
{
    struct stat sa {
    }, sb{};
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}
