#include "app/viewer.h"

#include <chrono>
#include <cmath>

#include "app/frame_cycle.h"
#include "app/scene_setup.h"
#include "pipeline/draw_observer.h"
#include "render/render_context.h"

namespace {

constexpr double kZoomPerNotch = 1.1;
constexpr double kZoomPerPixel = 0.01;  // right drag: e to the pixels over 100

}  // namespace

Viewer::Viewer(double degreesPerSecond)
    : turn(degreesPerSecond),
      frame(FrameView(*gModel, RenderContext::Instance().camera,
                      RenderContext::Instance().lights[0].light))
{
}

void Viewer::Resize(int newWidth, int newHeight)
{
    width = newWidth;
    height = newHeight;
    RenderContext& c = RenderContext::Instance();
    c.SetFrameBuffer(FrameBuffer(width, height, c.frameBuffer.clearColor));
    Place();
}

void Viewer::StartDrag(Drag kind, int x, int y)
{
    drag = kind;
    dragX = x;
    dragY = y;
}

bool Viewer::DragTo(int x, int y)
{
    const int dx = x - dragX, dy = y - dragY;
    if (drag == Drag::kNone || (dx == 0 && dy == 0)) return false;
    dragX = x;
    dragY = y;
    if (drag == Drag::kTurn)
        view = Dragged(view, dx, dy, frame);
    else
        view = Zoomed(view, std::exp(dy * kZoomPerPixel), frame);
    Place();
    return true;
}

void Viewer::Zoom(int notches)
{
    view = Zoomed(view, std::pow(kZoomPerNotch, -notches), frame);
    Place();
}

void Viewer::ResetView()
{
    view = OrbitView();
    Place();
}

void Viewer::RenderAt(double now)
{
    RenderContext& c = RenderContext::Instance();
    c.Enable(RC_DEPTH_TEST);
    c.Enable(RC_LIGHTING);
    c.Enable(RC_LIGHT0);
    const float angle = turn.AngleAt(now);
    const auto start = std::chrono::steady_clock::now();
    if (shown) {
        DrawObserver observer(c.frameBuffer.width, c.frameBuffer.height);
        RenderFrameTimed(angle, &observer);
        ShowPicture(ViewPicture(*shown, observer, c.frameBuffer), c.frameBuffer);
    } else {
        RenderFrameTimed(angle);
    }
    meter.Add(now,
              std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                  .count());
}

void Viewer::Place()
{
    RenderContext& c = RenderContext::Instance();
    c.SetCamera(ViewCamera(frame, view, width, height));
    c.SetLight(0, ViewLight(frame, view));
}
