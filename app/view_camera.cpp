#include "app/view_camera.h"

#include <algorithm>
#include <cmath>

#include "model/model.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegreesPerPixel = 0.4;
constexpr double kMostElevation = 85.0;
constexpr double kFarthestZoom = 10.0;

double Radians(double degrees)
{
    return degrees * (kPi / 180.0);
}

double Length(const ViewOffset& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

ViewOffset From(const Vector4& point, const Vector3& center)
{
    return {static_cast<double>(point.x) - center.x, static_cast<double>(point.y) - center.y,
            static_cast<double>(point.z) - center.z};
}

// The start eye's elevation above the ground plane, in degrees.
double StartElevation(const ViewFrame& frame)
{
    const ViewOffset& e = frame.eye;
    return std::atan2(e.z, std::sqrt(e.x * e.x + e.y * e.y)) * (180.0 / kPi);
}

// `v` turned by the view: raised by the pitch about the horizontal axis
// across the start's line of sight, then turned by the yaw about z, then
// scaled by the zoom. The start view gives `v` exactly (cosines of 1, sines
// of 0), so that the start is the window program's placement.
ViewOffset Turned(const ViewFrame& frame, const OrbitView& view, const ViewOffset& v)
{
    const double p = Radians(view.pitch), cp = std::cos(p), sp = std::sin(p);
    const double across = std::hypot(frame.eye.x, frame.eye.y);
    // eye x z, horizontal; straight above the centre, any horizontal axis.
    const ViewOffset axis = across > 0.0
                                ? ViewOffset{frame.eye.y / across, -frame.eye.x / across, 0.0}
                                : ViewOffset{1.0, 0.0, 0.0};
    const ViewOffset cross{axis.y * v.z - axis.z * v.y, axis.z * v.x - axis.x * v.z,
                           axis.x * v.y - axis.y * v.x};
    const double along = (axis.x * v.x + axis.y * v.y + axis.z * v.z) * (1.0 - cp);
    const ViewOffset raised{v.x * cp + cross.x * sp + axis.x * along,
                            v.y * cp + cross.y * sp + axis.y * along,
                            v.z * cp + cross.z * sp + axis.z * along};
    const double y = Radians(view.yaw), cy = std::cos(y), sy = std::sin(y);
    return {(raised.x * cy - raised.y * sy) * view.zoom,
            (raised.x * sy + raised.y * cy) * view.zoom, raised.z * view.zoom};
}

// The centre plus `v` turned by the view, in double, rounded once to float.
Vector3 Placed(const ViewFrame& frame, const OrbitView& view, const ViewOffset& v)
{
    const ViewOffset o = Turned(frame, view, v);
    return Vector3(static_cast<float>(frame.center.x + o.x),
                   static_cast<float>(frame.center.y + o.y),
                   static_cast<float>(frame.center.z + o.z));
}

double LargestVertexDistance(const Model& model)
{
    double largest = 0.0;
    for (int32_t i = 0; i < model.vertices.count; ++i) {
        float p[3] = {};
        model.vertices.GetAttribute(p, ATTRIB_POSITION, i);
        largest = std::max(largest, Length(From(Vector4(p[0], p[1], p[2], 1.0f), model.center)));
    }
    return largest;
}

}  // namespace

ViewFrame FrameView(const Model& model, const Camera& start, const Light& light)
{
    ViewFrame frame;
    frame.center = start.target;
    frame.eye = From(start.eye, frame.center);
    frame.light = From(light.position, frame.center);
    if (Length(frame.eye) == 0.0) {
        frame.eye = {1.0, 1.0, 1.0};
        frame.light = {1.0, 0.5, 1.0};
    }
    frame.fov = start.fov;
    frame.nearest = LargestVertexDistance(model) + 2.0 * start.zNear;
    return frame;
}

OrbitView Dragged(OrbitView view, int dx, int dy, const ViewFrame& frame)
{
    view.yaw = std::remainder(view.yaw - dx * kDegreesPerPixel, 360.0);
    const double start = StartElevation(frame);
    view.pitch = std::clamp(view.pitch + dy * kDegreesPerPixel, -kMostElevation - start,
                            kMostElevation - start);
    return view;
}

OrbitView Zoomed(OrbitView view, double factor, const ViewFrame& frame)
{
    const double nearest = std::min(1.0, frame.nearest / Length(frame.eye));
    view.zoom = std::clamp(view.zoom * factor, nearest, kFarthestZoom);
    return view;
}

Camera ViewCamera(const ViewFrame& frame, const OrbitView& view, int width, int height)
{
    float fov = frame.fov;
    if (width < height)
        fov = static_cast<float>(2.0 * std::atan(std::tan(frame.fov * 0.5) * height / width));
    return Camera(Placed(frame, view, frame.eye), frame.center, Vector3(0.0f, 0.0f, 1.0f),
                  static_cast<float>(width) / static_cast<float>(height), fov);
}

Light ViewLight(const ViewFrame& frame, const OrbitView& view)
{
    const Vector3 position = Placed(frame, view, frame.light);
    return Light(Vector4(position.x, position.y, position.z, 1.0f));
}
