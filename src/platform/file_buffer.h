// The buffer size the program gives every file it copies, decodes, encodes or
// writes a picture to.
#pragma once

#include <cstddef>

inline constexpr std::size_t kFileBufferSize = 28672;
