#include "import_test_support.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "ply_test_files.h"

std::string ImportError(const std::string& path)
{
    const ThrowingFatalErrors throwing;
    try {
        ImportMesh(path, MeshFraming{});
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

std::vector<std::string> FilesIn(const std::string& folder, const std::string& extension)
{
    std::vector<std::string> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string path = entry.path().string();
        if (path.size() >= extension.size() &&
            path.compare(path.size() - extension.size(), extension.size(), extension) == 0)
            files.push_back(path);
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string AssimpModels()
{
    const std::string folder = "/usr/share/assimp/models";
    return std::filesystem::is_directory(folder) ? folder : "";
}

std::vector<std::string> AssimpMeshFiles()
{
    std::vector<std::string> files;
    if (AssimpModels().empty()) return files;
    for (const char* folder : {"/PLY", "/OBJ", "/STL"})
        for (const std::string& file : FilesIn(AssimpModels() + folder, ""))
            files.push_back(file);
    return files;
}

Model Imported(const std::string& path)
{
    return ImportMesh(path, MeshFraming{});
}
