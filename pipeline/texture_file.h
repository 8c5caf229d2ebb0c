#pragma once

#include <string>

#include "pipeline/texture_image.h"

// Reads a PNG file of any colour type into texels. The picture's bottom row
// is texel row 0, so that t grows upward in the picture as in the texture
// coordinates of common mesh files. Each 8-bit sample is scaled by 1/255 as
// Color::SetBytes does (16-bit samples are first rounded to 8 bits) and alpha
// is kept (1 where the file has none). On failure returns false, leaves
// `texture` as it was, and `error` names the file and the reason.
bool ReadTexture(const std::string& path, TextureImage* texture, std::string* error);
