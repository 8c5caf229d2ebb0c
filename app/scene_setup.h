#pragma once

#include <ostream>

#include "lighting/material.h"

class FramePresenter;
class Model;

// The frame buffer's width and height, in pixels.
constexpr int kFrameSize = 480;

extern Model* gModel;               // the mesh, alive until the process ends
extern FramePresenter* gPresenter;  // shows the frame buffer in the window
extern Material gDefaultMaterial;   // copied into the context every frame

// Takes the loaded mesh as gModel, places camera and light from its bounding
// box, gives the context its frame buffer and default modes, and prints
// distance and centre on `log` (nothing when it is null).
void SetupScene(Model* model, std::ostream* log);

// SetupScene of the mesh the window program's reader loads from `path`.
void SetupScene(const char* path, std::ostream* log);

// SetupScene, printing on standard output.
void SetupScene(const char* path);
