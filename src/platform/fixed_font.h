// The one fixed-pitch font the platform draws text with.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/geometry.h"

inline constexpr int kFixedFontWidth = 6;
inline constexpr int kFixedFontHeight = 10;

// kFixedFontHeight rows of one character; bit 5 of a row is its leftmost pixel.
const std::uint8_t* FixedFontGlyph(unsigned char ch);

// Width and height of the text drawn on one line.
Size FixedFontTextExtent(std::string_view text);
