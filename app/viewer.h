#pragma once

#include <optional>

#include "app/frame_rate_meter.h"
#include "app/pipeline_views.h"
#include "app/view_camera.h"
#include "app/view_turn.h"

// zbuffer-view between frames, apart from the window: the view, the turn, a
// drag in progress and the frame-rate count, and the context's frame buffer,
// camera and light that follow from them. It draws gModel, as the window
// program's frame routine does. Times are seconds on a steady clock.
class Viewer {
public:
    enum class Drag { kNone, kTurn, kZoom };

    // Starts from the scene the window program's set-up made for gModel,
    // which stays loaded while the viewer lives.
    explicit Viewer(double degreesPerSecond);

    // A frame buffer of the new size (cleared to the set-up's colour) and a
    // lens of its shape.
    void Resize(int width, int height);
    void StartDrag(Drag drag, int x, int y);
    // False when the pointer has not moved since the last call.
    bool DragTo(int x, int y);
    void EndDrag() { drag = Drag::kNone; }
    // Wheel notches: up (positive) nearer, down farther.
    void Zoom(int notches);
    void ResetView();
    // Shows `view` of what the pipeline did in place of the picture; the
    // view shown already goes back to the picture.
    void ToggleView(PipelineView view)
    {
        shown = shown == view ? std::nullopt : std::optional(view);
    }
    std::optional<PipelineView> Shown() const { return shown; }

    // Renders the frame of time `now` into the context's frame buffer, or
    // the view shown of its draw; the meter counts its render time (clearing
    // and drawing, and the view).
    void RenderAt(double now);

    ViewTurn turn;
    FrameRateMeter meter;

private:
    void Place();  // the context's camera and light 0 for the view

    ViewFrame frame;
    OrbitView view;
    std::optional<PipelineView> shown;  // none: the shaded picture
    int width = 1, height = 1;
    Drag drag = Drag::kNone;
    int dragX = 0, dragY = 0;
};
