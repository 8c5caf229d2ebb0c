#pragma once

#include "lighting/light.h"
#include "math/camera.h"

class Model;

// A point relative to the centre, in double precision.
struct ViewOffset {
    double x = 0.0, y = 0.0, z = 0.0;
};

// What the viewer's camera turns about, fixed once the mesh is loaded: the
// window program's camera and light 0 for the mesh, as its scene set-up
// places them.
struct ViewFrame {
    Vector3 center;        // what the camera looks at: the bounding box's centre
    ViewOffset eye;        // the start's eye from the centre
    ViewOffset light;      // light 0 from the centre
    float fov = 0.0f;      // the start's lens, across a square window
    double nearest = 0.0;  // the least distance of the eye from the centre
};

// The frame of `start` and `light`, the window program's camera and light 0
// for `model`. A model without extent, whose eye would stand on the centre,
// is seen from (1, 1, 1) away. As nearest, the radius of the sphere about the
// centre that holds every vertex plus twice the camera's near distance: the
// pipeline does not clip at the near plane, so the eye stays where every
// vertex lies well beyond it.
ViewFrame FrameView(const Model& model, const Camera& start, const Light& light);

// The user's view: the window program's camera turned about the centre and
// moved nearer or farther. A value type; the default is the start.
struct OrbitView {
    double yaw = 0.0;    // degrees about the up axis, z
    double pitch = 0.0;  // degrees above the start's elevation
    double zoom = 1.0;   // the eye's distance from the centre over the start's
};

// A drag of (dx, dy) pixels in window coordinates (y down): right turns the
// mesh to the right, down shows more of its top. The eye's elevation stays
// 5 degrees short of the poles, where the up axis and the view would meet.
OrbitView Dragged(OrbitView view, int dx, int dy, const ViewFrame& frame);
// The distance times `factor`, from the frame's nearest to 10 times the start's.
OrbitView Zoomed(OrbitView view, double factor, const ViewFrame& frame);

// The camera of the view for a frame buffer of width x height pixels: at the
// start in a square, the window program's camera. The lens sees as much
// across the window's narrower side as the start's does across a square, so
// a tall window cuts nothing off either.
Camera ViewCamera(const ViewFrame& frame, const OrbitView& view, int width, int height);
// Light 0 carried with the camera, so that the side the user looks at stays lit.
Light ViewLight(const ViewFrame& frame, const OrbitView& view);
