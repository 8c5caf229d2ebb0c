#pragma once

#include "lighting/light.h"
#include "math/camera.h"

class Model;

// What the viewer's camera turns about, fixed once the mesh is loaded.
struct ViewFrame {
    Vector3 center;         // the bounding box's centre, which the camera looks at
    double distance = 0.0;  // the window program's eye: this far from the centre along x, y, z
    double nearest = 0.0;   // the least distance of the eye from the centre
};

// The window program's camera distance for the model's bounding box (as for
// a box of half-extent 1 when the model has no extent), and, as nearest, the
// sphere about the centre that holds every vertex plus the camera's near
// distance: the pipeline does not clip at the near plane, so the eye stays
// where every vertex lies beyond it.
ViewFrame FrameView(const Model& model);

// The user's view: the window program's camera turned about the centre and
// moved nearer or farther. A value type; the default is the start.
struct OrbitView {
    double yaw = 0.0;    // degrees about the up axis, z
    double pitch = 0.0;  // degrees above the start's elevation
    double zoom = 1.0;   // the eye's distance from the centre over the start's
};

// A drag of (dx, dy) pixels in window coordinates (y down): right turns the
// mesh to the right, down shows more of its top. The elevation stays 5
// degrees short of the poles, where the up axis and the view would meet.
OrbitView Dragged(OrbitView view, int dx, int dy);
// The distance times `factor`, from the frame's nearest to 10 times the start's.
OrbitView Zoomed(OrbitView view, double factor, const ViewFrame& frame);

// The camera of the view for a frame buffer of width x height pixels: at the
// start, the window program's camera. The lens sees 45 degrees across the
// window's narrower side, so a tall window cuts nothing off either.
Camera ViewCamera(const ViewFrame& frame, const OrbitView& view, int width, int height);
// The window program's light 0, carried with the camera, so that the side
// the user looks at stays lit.
Light ViewLight(const ViewFrame& frame, const OrbitView& view);
