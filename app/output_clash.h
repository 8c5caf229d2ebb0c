#pragma once

#include <string>

#include "app/render_options.h"

// Empty, or why the pictures the options ask for would be written over the
// mesh or the texture file: under the same name, through a link or as a hard
// link to it (the same file: device and inode). Checked before anything is
// read or written.
std::string OutputClash(const RenderOptions& options);

// True when both names lead to one file, through links or not.
bool SameFile(const std::string& a, const std::string& b);
