#include "app/mode_keys.h"

#include "render/render_context.h"

namespace {

struct ShadeName {
    int32_t model;
    const char* name;
};

constexpr ShadeName kShadeNames[] = {
    {RC_FLAT, "flat"}, {RC_GOURAUD, "gouraud"}, {RC_PHONG, "phong"}, {RC_CARTOON, "cartoon"}};

}  // namespace

bool ApplyModeKey(unsigned char key, RenderContext& c)
{
    switch (key) {
        case 'a':
            c.frontFace = RC_CCW;
            return true;
        case 'z':
            c.frontFace = RC_CW;
            return true;
        case 's':
            c.polygonMode = RC_FILL;
            return true;
        case 'w':
            c.polygonMode = RC_LINE;
            return true;
        case 'p':
            c.shadeModel = RC_PHONG;
            return true;
        case 'g':
            c.shadeModel = RC_GOURAUD;
            return true;
        case 'f':
            c.shadeModel = RC_FLAT;
            return true;
        case 'c':
            c.shadeModel = RC_CARTOON;
            return true;
        default:
            return false;
    }
}

const char* ShadeModelName(int32_t shadeModel)
{
    for (const ShadeName& s : kShadeNames)
        if (s.model == shadeModel) return s.name;
    return shadeModel == RC_REPLACE ? "replace" : "";
}

bool ParseShadeModel(const std::string& word, int32_t& shadeModel)
{
    for (const ShadeName& s : kShadeNames)
        if (word == s.name) {
            shadeModel = s.model;
            return true;
        }
    return false;
}
