#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "render/rgb_image.h"

class DrawObserver;
class FrameBuffer;

// Pictures of what the pipeline did in a frame, beside the shaded picture.
enum class PipelineView : uint8_t {
    kDepth,     // the depth buffer in grey, nearest brightest; black where nothing was written
    kOverdraw,  // fragments per pixel, on a fixed colour ramp
    kFaces,     // the face that last wrote each pixel, each face its own colour
    kStages,    // the walk, or the spans, that last wrote each pixel
};

// The view of that name: depth, overdraw, faces or stages.
std::optional<PipelineView> PipelineViewNamed(const std::string& name);
// The name of `view`.
const char* PipelineViewName(PipelineView view);

// The picture of `view` of a draw into `frame` that `observer` (of the
// frame's size) observed.
RgbImage ViewPicture(PipelineView view, const DrawObserver& observer, const FrameBuffer& frame);

// Puts `picture` (of the frame's size) into the frame's colours, so that
// exporting the frame gives the picture back byte for byte: a window shows a
// view as it shows a frame.
void ShowPicture(const RgbImage& picture, FrameBuffer& frame);
