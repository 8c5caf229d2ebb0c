#pragma once

#include <string>
#include <vector>

#include "model/mesh_import.h"

// The message ImportMesh ends with on the file, "Error: <what> : <detail>",
// or "" when it loads.
std::string ImportError(const std::string& path);

// The files of a folder whose names end in `extension`, sorted.
std::vector<std::string> FilesIn(const std::string& folder, const std::string& extension);

// Where Debian's assimp-testmodels puts its meshes; empty when the package
// is not installed.
std::string AssimpModels();

// Every file of assimp-testmodels' PLY, OBJ and STL folders (their pictures
// and material files too, which the import refuses); none when the package
// is not installed.
std::vector<std::string> AssimpMeshFiles();

// The model a complete PLY, OBJ or STL file gives, without framing.
Model Imported(const std::string& path);
