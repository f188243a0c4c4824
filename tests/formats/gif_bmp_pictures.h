// Pictures built in code for the GIF and BMP tests, and the pixels of a
// picture or of a peer's decode as red, green, blue bytes, top row first.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "format_test_support.h"
#include "image/image.h"
#include "support/peer_tools.h"

namespace gif_bmp_test {

using format_test::NeutralDither;

struct Rgb {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> bytes;
};

// A palette picture of `colours` colours: colour i is (i * 5, 255 - i, i * 3)
// (modulo 256), pixels in a diagonal pattern that also repeats.
inline void MakePalettePicture(TImage& image, int width, int height, int colours) {
  image.Create(width, height, 1, 1, 1, 1, 0);
  LogPalette palette;
  palette.count = static_cast<std::uint16_t>(colours);
  for (int i = 0; i < colours; ++i) {
    palette.entries[i] =
        PaletteEntry{static_cast<std::uint8_t>(i * 5), static_cast<std::uint8_t>(255 - i),
                     static_cast<std::uint8_t>(i * 3), 0};
  }
  image.SetPalette(palette);
  image.colourCount = static_cast<std::int16_t>(colours);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      image.Row(y)[x] = static_cast<std::uint8_t>((x / 3 + y * 7 + (x * y) % 5) % colours);
  }
}

// A 24-bit picture: smooth gradients with a little structure.
inline void MakeColourPicture(TImage& image, int width, int height) {
  image.Create(width, height, 1, 1, 3, 1, 0);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = image.Row(y);
    for (int x = 0; x < width; ++x) {
      row[3 * x] = static_cast<std::uint8_t>(x * 255 / width);                   // blue
      row[3 * x + 1] = static_cast<std::uint8_t>(y * 255 / height);              // green
      row[3 * x + 2] = static_cast<std::uint8_t>(((x + y) * 4 + x * y) & 0xFF);  // red
    }
  }
}

inline Rgb PictureRgb(const TImage& image) {
  Rgb out{image.width, image.height, {}};
  LogPalette palette;
  image.GetPalette(palette, nullptr);
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* row = image.Row(y);
    for (int x = 0; x < image.width; ++x) {
      if (image.GetBytesPerPixel() == 3) {
        out.bytes.insert(out.bytes.end(), {row[3 * x + 2], row[3 * x + 1], row[3 * x]});
      } else {
        const PaletteEntry& c = palette.entries[row[x]];
        out.bytes.insert(out.bytes.end(), {c.red, c.green, c.blue});
      }
    }
  }
  return out;
}

// ImageMagick's decode of a file (one frame: `frame` selects it, after
// -coalesce for multi-image GIFs), alpha dropped.
inline Rgb MagickRgb(const std::string& path, const std::string& options = "") {
  Rgb out;
  const std::string size =
      CommandOutput("identify -format '%W %H\\n' " + ShellQuote(path) + " | tail -n 1");
  std::sscanf(size.c_str(), "%d %d", &out.width, &out.height);
  const std::string raw =
      CommandOutput("convert " + ShellQuote(path) + " " + options + " -depth 8 rgb:- 2>/dev/null");
  out.bytes.assign(raw.begin(), raw.end());
  // A multi-frame decode yields every frame; keep the last.
  const std::size_t frame = std::size_t(3) * out.width * out.height;
  if (frame > 0 && out.bytes.size() > frame) {
    out.bytes.erase(out.bytes.begin(), out.bytes.end() - static_cast<long>(frame));
  }
  return out;
}

inline testing::AssertionResult SameRgb(const Rgb& ours, const Rgb& theirs) {
  if (ours.width != theirs.width || ours.height != theirs.height) {
    return testing::AssertionFailure() << "size " << ours.width << "x" << ours.height << " vs "
                                       << theirs.width << "x" << theirs.height;
  }
  if (ours.bytes.size() != theirs.bytes.size()) {
    return testing::AssertionFailure()
           << "byte count " << ours.bytes.size() << " vs " << theirs.bytes.size();
  }
  for (std::size_t i = 0; i < ours.bytes.size(); ++i) {
    if (ours.bytes[i] != theirs.bytes[i]) {
      const std::size_t pixel = i / 3;
      return testing::AssertionFailure()
             << "pixel (" << pixel % ours.width << ", " << pixel / ours.width << ") channel "
             << i % 3 << ": " << int(ours.bytes[i]) << " vs " << int(theirs.bytes[i]);
    }
  }
  return testing::AssertionSuccess();
}

}  // namespace gif_bmp_test
