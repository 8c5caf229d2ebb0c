#pragma once

#include <array>
#include <string>
#include <vector>

struct Point3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

// Bicubic Bezier patches over shared control points; each patch lists 16
// point indices, row by row.
struct BezierPatches {
    std::vector<std::array<int, 16>> patches;
    std::vector<Point3> points;
};

// Reads the "patches N" / "points M" text format; '#' starts a comment line.
// On failure returns false and says why in `error`.
bool ReadBezierPatches(const std::string& path, BezierPatches& out, std::string& error);

// The point of patch `patch` at parameters u (along a row) and v (down the rows).
Point3 EvaluatePatch(const BezierPatches& data, std::size_t patch, double u, double v);
