#pragma once

#include <string>

#include "app/render_options.h"

// gl_peer reads zbuffer-render's command line, so both programs are run with
// the same words; it accepts only what fixed-function OpenGL draws alike.
extern const char kPeerUsage[];

// Empty when OpenGL can draw what `o` asks for; otherwise why not, in one line.
std::string UnsupportedByPeer(const RenderOptions& o);
