#pragma once

#include <cstdint>

// How the window program frames a mesh: the camera stands back so that the
// bounding box's largest half-extent subtends kDistanceAngle (about 34.6
// degrees), on the diagonal x = y = z, and sees kFieldOfView (45 degrees,
// as a float) from top to bottom.
constexpr double kDistanceAngle = 0.6041524723549063;
constexpr float kFieldOfView = 0.7853982f;
// Its background: opaque black, packed as 0xAARRGGBB.
constexpr uint32_t kClearColor = 0xFF000000u;
