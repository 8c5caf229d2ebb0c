#include "app/view_camera.h"

#include <algorithm>
#include <cmath>

#include "app/window_framing.h"
#include "model/model.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegreesPerPixel = 0.4;
constexpr double kMostElevation = 85.0;
constexpr double kFarthestZoom = 10.0;
constexpr double kNearDistance = 0.1;  // the camera's zNear

struct Offset {
    double x, y, z;
};

double Radians(double degrees)
{
    return degrees * (kPi / 180.0);
}

// The elevation of the diagonal (1, 1, 1) above the ground plane, in degrees.
double StartElevation()
{
    return std::atan(1.0 / std::sqrt(2.0)) * (180.0 / kPi);
}

// `v` turned by the view: raised by the pitch about the horizontal axis
// across the start's line of sight, (1, -1, 0) / sqrt 2, then turned by the
// yaw about z, then scaled by the zoom. The start view gives `v` exactly
// (cosines of 1, sines of 0), so that it is the window program's placement.
Offset Turned(const OrbitView& view, const Offset& v)
{
    const double p = Radians(view.pitch), cp = std::cos(p), sp = std::sin(p);
    const double k = 1.0 / std::sqrt(2.0);
    const Offset axis{k, -k, 0.0};
    const Offset cross{axis.y * v.z - axis.z * v.y, axis.z * v.x - axis.x * v.z,
                       axis.x * v.y - axis.y * v.x};
    const double along = (axis.x * v.x + axis.y * v.y + axis.z * v.z) * (1.0 - cp);
    const Offset raised{v.x * cp + cross.x * sp + axis.x * along,
                        v.y * cp + cross.y * sp + axis.y * along,
                        v.z * cp + cross.z * sp + axis.z * along};
    const double y = Radians(view.yaw), cy = std::cos(y), sy = std::sin(y);
    return {(raised.x * cy - raised.y * sy) * view.zoom,
            (raised.x * sy + raised.y * cy) * view.zoom, raised.z * view.zoom};
}

Vector3 Placed(const ViewFrame& frame, const OrbitView& view, const Offset& start)
{
    const Offset o = Turned(view, start);
    return Vector3(frame.center.x + static_cast<float>(o.x),
                   frame.center.y + static_cast<float>(o.y),
                   frame.center.z + static_cast<float>(o.z));
}

double LargestVertexDistance(const Model& model)
{
    double largest = 0.0;
    for (int32_t i = 0; i < model.vertices.count; ++i) {
        float p[3] = {};
        model.vertices.GetAttribute(p, ATTRIB_POSITION, i);
        const double x = p[0] - model.center.x, y = p[1] - model.center.y,
                     z = p[2] - model.center.z;
        largest = std::max(largest, std::sqrt(x * x + y * y + z * z));
    }
    return largest;
}

}  // namespace

ViewFrame FrameView(const Model& model)
{
    ViewFrame frame;
    frame.center = model.center;
    const float r = model.halfExtent > 0.0f ? model.halfExtent : 1.0f;
    // Stored as a float, as the window program stores it.
    frame.distance = static_cast<float>(r / std::tan(kDistanceAngle));
    frame.nearest = LargestVertexDistance(model) + 2.0 * kNearDistance;
    return frame;
}

OrbitView Dragged(OrbitView view, int dx, int dy)
{
    view.yaw -= dx * kDegreesPerPixel;
    view.yaw = std::remainder(view.yaw, 360.0);
    const double start = StartElevation();
    view.pitch = std::clamp(view.pitch + dy * kDegreesPerPixel, -kMostElevation - start,
                            kMostElevation - start);
    return view;
}

OrbitView Zoomed(OrbitView view, double factor, const ViewFrame& frame)
{
    const double startDistance = frame.distance * std::sqrt(3.0);
    const double nearest = std::min(1.0, frame.nearest / startDistance);
    view.zoom = std::clamp(view.zoom * factor, nearest, kFarthestZoom);
    return view;
}

Camera ViewCamera(const ViewFrame& frame, const OrbitView& view, int width, int height)
{
    const double d = frame.distance;
    const Vector3 eye = Placed(frame, view, {d, d, d});
    float fov = kFieldOfView;
    if (width < height)
        fov = static_cast<float>(2.0 * std::atan(std::tan(kFieldOfView * 0.5) * height / width));
    return Camera(eye, frame.center, Vector3(0.0f, 0.0f, 1.0f),
                  static_cast<float>(width) / static_cast<float>(height), fov);
}

Light ViewLight(const ViewFrame& frame, const OrbitView& view)
{
    const double d = frame.distance;
    const Vector3 position = Placed(frame, view, {d, d * 0.5, d});
    return Light(Vector4(position.x, position.y, position.z, 1.0f));
}
