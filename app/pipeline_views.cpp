#include "app/pipeline_views.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "pipeline/draw_observer.h"
#include "render/frame_buffer.h"

namespace {

struct Rgb {
    uint8_t r, g, b;
};
constexpr Rgb kBlack = {0, 0, 0};

// One colour a pixel, from the pixel's column and row.
RgbImage PictureOf(int width, int height, const std::function<Rgb(int, int)>& colour)
{
    RgbImage picture{width, height, {}};
    picture.rgb.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Rgb c = colour(x, y);
            picture.rgb.insert(picture.rgb.end(), {c.r, c.g, c.b});
        }
    return picture;
}

// The frame's written depths, from nearest (255) to farthest (kFarthestGrey)
// in a straight line; a frame of one depth is all nearest.
constexpr double kFarthestGrey = 48.0;

RgbImage DepthPicture(const FrameBuffer& frame)
{
    float nearest = CLEAR_DEPTH, farthest = -CLEAR_DEPTH;
    for (const Pixel& p : frame.pixels)
        if (p.depth != CLEAR_DEPTH) {
            nearest = std::min(nearest, p.depth);
            farthest = std::max(farthest, p.depth);
        }
    const double range = static_cast<double>(farthest) - static_cast<double>(nearest);
    return PictureOf(frame.width, frame.height, [&](int x, int y) {
        const float depth = frame.At(x, y).depth;
        if (depth == CLEAR_DEPTH) return kBlack;
        const double nearness = range > 0.0 ? (farthest - static_cast<double>(depth)) / range : 1.0;
        const auto grey =
            static_cast<uint8_t>(std::lround(kFarthestGrey + nearness * (255.0 - kFarthestGrey)));
        return Rgb{grey, grey, grey};
    });
}

// The overdraw ramp: black for a pixel no fragment reached, then one colour
// a count from 1 to 9 (dark blue, blue, cyan, green, lime, yellow, orange,
// red, magenta), white for 10 and more.
Rgb OverdrawColour(uint32_t fragments)
{
    static constexpr Rgb kRamp[] = {
        {0, 0, 0},     {0, 0, 160},   {0, 96, 255}, {0, 200, 200}, {0, 180, 0},     {160, 220, 0},
        {255, 230, 0}, {255, 140, 0}, {230, 0, 0},  {200, 0, 200}, {255, 255, 255},
    };
    constexpr uint32_t kTop = sizeof kRamp / sizeof kRamp[0] - 1;
    return kRamp[std::min(fragments, kTop)];
}

// A face's colour: its index scrambled (so that neighbouring faces differ),
// each channel kept above 64 so that no face is lost against the black of
// pixels no face wrote.
Rgb FaceColour(int32_t face)
{
    uint32_t h = static_cast<uint32_t>(face) + 1;  // 0 would stay 0
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    const auto lift = [](uint32_t byte) { return static_cast<uint8_t>(64 + byte * 191 / 255); };
    return {lift(h & 0xFF), lift((h >> 8) & 0xFF), lift((h >> 16) & 0xFF)};
}

Rgb SourceColour(FragmentSource source)
{
    switch (source) {
        case FragmentSource::kEdge1:
            return {230, 60, 60};  // red
        case FragmentSource::kEdge2:
            return {250, 180, 30};  // amber
        case FragmentSource::kLong:
            return {60, 130, 240};  // blue
        case FragmentSource::kSpan:
            return {150, 150, 150};  // grey
        case FragmentSource::kNone:
            break;
    }
    return kBlack;
}

}  // namespace

namespace {

const struct {
    const char* name;
    PipelineView view;
} kViewNames[] = {{"depth", PipelineView::kDepth},
                  {"overdraw", PipelineView::kOverdraw},
                  {"faces", PipelineView::kFaces},
                  {"stages", PipelineView::kStages}};

}  // namespace

std::optional<PipelineView> PipelineViewNamed(const std::string& name)
{
    for (const auto& v : kViewNames)
        if (name == v.name) return v.view;
    return std::nullopt;
}

const char* PipelineViewName(PipelineView view)
{
    for (const auto& v : kViewNames)
        if (view == v.view) return v.name;
    return "";
}

RgbImage ViewPicture(PipelineView view, const DrawObserver& observer, const FrameBuffer& frame)
{
    switch (view) {
        case PipelineView::kDepth:
            return DepthPicture(frame);
        case PipelineView::kOverdraw:
            return PictureOf(frame.width, frame.height, [&](int x, int y) {
                return OverdrawColour(observer.At(x, y).fragments);
            });
        case PipelineView::kFaces:
            return PictureOf(frame.width, frame.height, [&](int x, int y) {
                const int32_t face = observer.At(x, y).face;
                return face < 0 ? kBlack : FaceColour(face);
            });
        case PipelineView::kStages:
            return PictureOf(frame.width, frame.height,
                             [&](int x, int y) { return SourceColour(observer.At(x, y).source); });
    }
    return {};
}

void ShowPicture(const RgbImage& picture, FrameBuffer& frame)
{
    // Half a step above each byte's value: the export multiplies by 255 and
    // truncates, which then gives the byte back whatever the rounding.
    const auto channel = [](uint8_t byte) { return (static_cast<float>(byte) + 0.5f) / 255.0f; };
    for (std::size_t i = 0; i < frame.pixels.size(); ++i) {
        const uint8_t* rgb = &picture.rgb[3 * i];
        frame.pixels[i].color = Color(channel(rgb[0]), channel(rgb[1]), channel(rgb[2]), 1.0f);
    }
}
