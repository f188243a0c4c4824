// Saving a surface as a picture file, so that a test or a person can look at
// what a window showed: binary PPM, or PNG (8-bit RGB, stored deflate blocks).
#pragma once

#include <string>

#include "platform/surface.h"

// False when the file cannot be written.
bool SaveSurfacePpm(const TSurface& surface, const std::string& path);
bool SaveSurfacePng(const TSurface& surface, const std::string& path);
