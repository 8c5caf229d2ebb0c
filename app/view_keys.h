#pragma once

#include <optional>
#include <string>

#include "app/pipeline_views.h"

class RenderContext;

// What a key asks of zbuffer-view.
enum class ViewCommand {
    kNone,         // not one of its keys
    kRedraw,       // a mode key: its mode is stored in the context
    kQuit,         // Escape
    kTogglePause,  // space
    kFaster,       // + (or =, the same key unshifted)
    kSlower,       // -
    kResetView,    // r
    kSave,         // o
    kHelp,         // h
    kToggleView,   // 1 to 4: a view of what the pipeline did (ViewOfKey), or the picture again
};

// The command of `key`; the window program's mode keys store their mode in
// `c` as they do there.
ViewCommand ViewKeyCommand(unsigned char key, RenderContext& c);

// The view of keys 1 to 4: depth, overdraw, faces, stages; none for any other key.
std::optional<PipelineView> ViewOfKey(unsigned char key);

// What h prints: the keys and the mouse, one line each.
extern const char kViewKeyList[];

// "zbuffer-view: NAME (gouraud, fill)": the file, the shade model and the
// polygon mode the context holds; "(gouraud, fill, depth view)" while a view
// of the pipeline is shown.
std::string ViewTitle(const std::string& fileName, const RenderContext& c,
                      std::optional<PipelineView> shown = std::nullopt);
