#include "app/view_keys.h"

#include "app/mode_keys.h"
#include "render/render_context.h"

const char kViewKeyList[] =
    "keys:\n"
    "  g f p c      shade model: gouraud, flat, phong, cartoon\n"
    "  s w          filled, or the triangles' edges only\n"
    "  a z          front faces are the counter-clockwise or the clockwise ones\n"
    "  left drag    turn the view about the mesh's centre\n"
    "  right drag   nearer (up) or farther (down); so does the wheel\n"
    "  r            back to the first view\n"
    "  space        pause or resume the turn\n"
    "  + -          turn 10 degrees a second faster or slower (below 0: the other way)\n"
    "  1 2 3 4      what the pipeline did: depth, overdraw, faces, stages (again: the picture)\n"
    "  o            save the frame as the next free zbuffer-view-NNNN.png here\n"
    "  h            this list\n"
    "  Escape       quit\n";

std::optional<PipelineView> ViewOfKey(unsigned char key)
{
    constexpr PipelineView kViews[] = {PipelineView::kDepth, PipelineView::kOverdraw,
                                       PipelineView::kFaces, PipelineView::kStages};
    if (key < '1' || key > '4') return std::nullopt;
    return kViews[key - '1'];
}

ViewCommand ViewKeyCommand(unsigned char key, RenderContext& c)
{
    constexpr unsigned char kEscape = 27;
    if (ApplyModeKey(key, c)) return ViewCommand::kRedraw;
    if (ViewOfKey(key)) return ViewCommand::kToggleView;
    switch (key) {
        case kEscape:
            return ViewCommand::kQuit;
        case ' ':
            return ViewCommand::kTogglePause;
        case '+':
        case '=':
            return ViewCommand::kFaster;
        case '-':
            return ViewCommand::kSlower;
        case 'r':
            return ViewCommand::kResetView;
        case 'o':
            return ViewCommand::kSave;
        case 'h':
            return ViewCommand::kHelp;
        default:
            return ViewCommand::kNone;
    }
}

std::string ViewTitle(const std::string& fileName, const RenderContext& c,
                      std::optional<PipelineView> shown)
{
    const std::string view = shown ? std::string(", ") + PipelineViewName(*shown) + " view" : "";
    return "zbuffer-view: " + fileName + " (" + ShadeModelName(c.shadeModel) + ", " +
           (c.polygonMode == RC_LINE ? "line" : "fill") + view + ")";
}
