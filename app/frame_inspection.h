#pragma once

#include <ostream>
#include <string>

#include "pipeline/draw_observer.h"

// What zbuffer-render prints of an observed frame: the stats line of
// frame `frame`, and one line a fragment of a watched pixel.
std::string StatsLine(int frame, const PipelineCounts& counts);
std::string PixelLine(int frame, PixelPosition pixel, const PixelEvent& event);

// The stats line when `stats`, then the lines of every watched pixel, pixel
// by pixel in the order they were given, each in shading order.
void PrintInspection(std::ostream& out, int frame, const DrawObserver& observer, bool stats);
