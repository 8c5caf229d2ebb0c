#pragma once

#include <cstdint>
#include <string>

class RenderContext;

// The window program's mode keys: a z (front faces), s w (filled or edges),
// g f p c (shade model). A key stores its mode in the context and nothing
// else; false, touching nothing, for any other key.
bool ApplyModeKey(unsigned char key, RenderContext& c);

// The names of the four shade models the keys choose: "flat", "gouraud",
// "phong", "cartoon"; "replace" for RC_REPLACE and "" for any other value.
const char* ShadeModelName(int32_t shadeModel);
// False, leaving `shadeModel` as it was, for a word that names none of the four.
bool ParseShadeModel(const std::string& word, int32_t& shadeModel);
