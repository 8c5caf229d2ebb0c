#include "app/data_files.h"

#include <unistd.h>

#include <climits>

namespace {

constexpr char kWorkingFolderTeapot[] = "./data/teapot.ply";

bool Exists(const std::string& path)
{
    return access(path.c_str(), F_OK) == 0;
}

// The folder of the running program, found through /proc so that an
// installed tree may be moved as a whole; empty when it cannot be read.
std::string ProgramFolder()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return "";
    const std::string program(path, static_cast<std::size_t>(length));
    return program.substr(0, program.rfind('/') + 1);
}

}  // namespace

std::string DefaultMeshPath()
{
    if (Exists(kWorkingFolderTeapot)) return kWorkingFolderTeapot;
    const std::string folder = ProgramFolder();
    const std::string installed = folder + ZBUFFER_DATA_FROM_PROGRAM "/teapot.ply";
    return !folder.empty() && Exists(installed) ? installed : kWorkingFolderTeapot;
}
