// Windows device-independent bitmaps (".bmp", ".dib", ".rle"): read from a
// file or from a packed bitmap in memory (the clipboard's shape), written
// uncompressed at 8 or 24 bits, or at screen size and depth as the wallpaper.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "image/palette.h"
#include "image/picture_formats.h"

struct InputStream;
class TImage;
class TDither;
class TProfile;

// `stream` is positioned at the "BM" file header. `settings` may be null.
// A refusal (header cut short or of an unread size, a depth other than 1, 4,
// 8, 16, 24 or 32, unusable bit-field masks, a side beyond 8192) is logged
// as "BMP Error: %s".
LoadStatus ReadBmp(InputStream* stream, TImage& image, const TProfile* settings);
// A packed bitmap: information header, colour table, bits. Nothing past the
// end of `packed` is read.
void ReadBmpFromMemory(TImage& image, std::span<const std::uint8_t> packed);

// With a display palette, writes the wallpaper: the screen's size and depth,
// each line dithered to that palette. Returns 0 when written, 1 on failure;
// a failed or cancelled write leaves no file.
int WriteBmp(const std::string& path, TImage& image, const TProfile& settings, TDither& dither,
             const LogPalette* display_palette);

// The screen the wallpaper is written for; the shell sets it from its display.
struct WallpaperScreen {
  int width = 1024;
  int height = 768;
  int bits_per_pixel = 24;  // bits per pixel times planes
};
void SetWallpaperScreen(const WallpaperScreen& screen);

void RegisterBmpFormat();
