#include "app/numbered_picture.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "render/image_file.h"

namespace {

constexpr int kLastNumber = 9999;

}  // namespace

std::string NumberedPictureName(const std::string& stem, int number)
{
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04d", number);
    return stem + "-" + digits + ".png";
}

std::string WriteNumberedPicture(const std::string& stem, const RgbImage& image, std::string* error)
{
    for (int number = 1; number <= kLastNumber; ++number) {
        const std::string name = NumberedPictureName(stem, number);
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) {
            *error = name + ": " + std::strerror(errno);
            return "";
        }
        close(fd);
        if (WriteImage(name, image, error)) return name;
        unlink(name.c_str());
        return "";
    }
    *error = "every name from " + NumberedPictureName(stem, 1) + " to " +
             NumberedPictureName(stem, kLastNumber) + " is taken";
    return "";
}
