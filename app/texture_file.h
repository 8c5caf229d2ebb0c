#pragma once

#include <cstdint>
#include <string>

#include "pipeline/texture_image.h"

// The most bytes a texture file may hold. The largest picture taken, 4096 x
// 4096 pixels of 16-bit RGBA, fills a little over 128 MiB stored without
// compression; twice that leaves room for the chunks beside the pixels.
constexpr int64_t kMaxTextureFileBytes = int64_t{256} << 20;

// Reads a PNG file of any colour type into texels. The picture's bottom row
// is texel row 0, so that t grows upward in the picture as in the texture
// coordinates of common mesh files. Each 8-bit sample is scaled by 1/255 as
// Color::SetBytes does (16-bit samples are first rounded to 8 bits) and alpha
// is kept (1 where the file has none). The file may be a pipe or a device;
// one that is not a PNG is refused at its first bytes, and one larger than
// kMaxTextureFileBytes at once or, without a size, once it has given that
// many. On failure returns false, leaves `texture` as it was, and `error`
// names the file and the reason.
bool ReadTexture(const std::string& path, TextureImage* texture, std::string* error);
