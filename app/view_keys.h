#pragma once

#include <string>

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
};

// The command of `key`; the window program's mode keys store their mode in
// `c` as they do there.
ViewCommand ViewKeyCommand(unsigned char key, RenderContext& c);

// What h prints: the keys and the mouse, one line each.
extern const char kViewKeyList[];

// "zbuffer-view: NAME (gouraud, fill)": the file, the shade model and the
// polygon mode the context holds.
std::string ViewTitle(const std::string& fileName, const RenderContext& c);
