// Compares a rendered picture with its reference pixel by pixel. On a
// difference it writes a visual diff, the reference dimmed with every
// differing pixel in red, and names it.
// Usage: image_compare ACTUAL REFERENCE DIFF.png   (status 0 same, 1 differ, 2 unreadable)
#include <cstdio>
#include <iostream>
#include <string>

#include "render/image_file.h"

namespace {

constexpr int kDimDivisor = 3;

struct Difference {
    long count = 0;
    std::size_t first = 0;  // pixel index of the first difference
};

bool SamePixel(const RgbImage& a, const RgbImage& b, std::size_t i)
{
    return a.rgb[3 * i] == b.rgb[3 * i] && a.rgb[3 * i + 1] == b.rgb[3 * i + 1] &&
           a.rgb[3 * i + 2] == b.rgb[3 * i + 2];
}

Difference Compare(const RgbImage& actual, const RgbImage& reference, RgbImage* diff)
{
    Difference d;
    *diff = reference;
    for (std::size_t i = 0; i < reference.rgb.size() / 3; ++i) {
        if (SamePixel(actual, reference, i)) {
            for (int k = 0; k < 3; ++k)
                diff->rgb[3 * i + k] /= kDimDivisor;
            continue;
        }
        if (d.count++ == 0) d.first = i;
        diff->rgb[3 * i] = 255;
        diff->rgb[3 * i + 1] = 0;
        diff->rgb[3 * i + 2] = 0;
    }
    return d;
}

std::string Rgb(const RgbImage& image, std::size_t i)
{
    return std::to_string(image.rgb[3 * i]) + "," + std::to_string(image.rgb[3 * i + 1]) + "," +
           std::to_string(image.rgb[3 * i + 2]);
}

int Report(const RgbImage& actual, const RgbImage& reference, const std::string& diffPath)
{
    RgbImage diff;
    const Difference d = Compare(actual, reference, &diff);
    if (d.count == 0) {
        std::remove(diffPath.c_str());  // a stale diff from an earlier failure would mislead
        return 0;
    }
    std::string error;
    if (!WriteImage(diffPath, diff, &error))
        std::cerr << "cannot write the diff: " << error << "\n";
    const std::size_t w = static_cast<std::size_t>(reference.width);
    std::cerr << d.count << " of " << reference.rgb.size() / 3 << " pixels differ; the first at ("
              << d.first % w << ", " << d.first / w << ") is " << Rgb(actual, d.first)
              << ", the reference has " << Rgb(reference, d.first) << "\nvisual diff: " << diffPath
              << "\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::cerr << "usage: image_compare ACTUAL REFERENCE DIFF.png\n";
        return 2;
    }
    RgbImage actual, reference;
    std::string error;
    if (!ReadImage(argv[1], &actual, &error) || !ReadImage(argv[2], &reference, &error)) {
        std::cerr << error << "\n";
        return 2;
    }
    if (actual.width != reference.width || actual.height != reference.height) {
        std::cerr << argv[1] << " is " << actual.width << " x " << actual.height
                  << ", the reference " << reference.width << " x " << reference.height << "\n";
        return 1;
    }
    return Report(actual, reference, argv[3]);
}
