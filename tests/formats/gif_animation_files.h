// Animated GIFs built in code: a builder for loop blocks, graphic control
// extensions and frames with their own tables, and the four-frame reference
// animation that the player and the window tests compare with ImageMagick.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "formats/gif_test_files.h"
#include "support/temp_dir.h"

namespace gif_animation_test {

struct Colour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  bool operator==(const Colour&) const = default;
};

// Tables of 8 entries, so pixels are 0..7 and codes start at 4 bits.
inline constexpr int kTableSizeField = 2;
inline constexpr int kMinCodeSize = 3;

class AnimationBuilder {
 public:
  AnimationBuilder(int width, int height, const std::vector<Colour>& global, int background) {
    Append("GIF89a");
    U16(width);
    U16(height);
    bytes_.push_back(0x80 | kTableSizeField);
    bytes_.push_back(static_cast<std::uint8_t>(background));
    bytes_.push_back(0);
    Table(global);
  }
  AnimationBuilder& Loop(int count) {
    bytes_.insert(bytes_.end(), {0x21, 0xFF, 0x0B});
    Append("NETSCAPE2.0");
    bytes_.insert(bytes_.end(), {0x03, 0x01});
    U16(count);
    bytes_.push_back(0);
    return *this;
  }
  AnimationBuilder& Control(int disposal, int delay_centiseconds, int transparent = -1) {
    bytes_.insert(bytes_.end(), {0x21, 0xF9, 0x04});
    bytes_.push_back(static_cast<std::uint8_t>(disposal << 2 | (transparent >= 0 ? 1 : 0)));
    U16(delay_centiseconds);
    bytes_.push_back(static_cast<std::uint8_t>(transparent >= 0 ? transparent : 0));
    bytes_.push_back(0);
    return *this;
  }
  // `pixels` row by row from the top; an interlaced frame is stored in its
  // pass order here.
  AnimationBuilder& Frame(int left, int top, int width, int height,
                          const std::vector<std::uint8_t>& pixels,
                          const std::vector<Colour>& local = {}, bool interlaced = false) {
    bytes_.push_back(0x2C);
    U16(left);
    U16(top);
    U16(width);
    U16(height);
    bytes_.push_back(static_cast<std::uint8_t>((local.empty() ? 0 : 0x80 | kTableSizeField) |
                                               (interlaced ? 0x40 : 0)));
    if (!local.empty()) Table(local);
    bytes_.push_back(kMinCodeSize);
    const std::vector<std::uint8_t> data =
        gif_test::LiteralData(kMinCodeSize, interlaced ? Interlace(pixels, width, height) : pixels);
    for (std::size_t at = 0; at < data.size(); at += 255) {
      const std::size_t length = std::min<std::size_t>(255, data.size() - at);
      bytes_.push_back(static_cast<std::uint8_t>(length));
      bytes_.insert(bytes_.end(), data.begin() + static_cast<long>(at),
                    data.begin() + static_cast<long>(at + length));
    }
    bytes_.push_back(0);
    return *this;
  }
  std::vector<std::uint8_t> Finish() {
    bytes_.push_back(0x3B);
    return bytes_;
  }

 private:
  static std::vector<std::uint8_t> Interlace(const std::vector<std::uint8_t>& pixels, int width,
                                             int height) {
    std::vector<std::uint8_t> out;
    const int first[] = {0, 4, 2, 1};
    const int step[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
      for (int y = first[pass]; y < height; y += step[pass]) {
        out.insert(out.end(), pixels.begin() + y * width, pixels.begin() + (y + 1) * width);
      }
    }
    return out;
  }
  void Append(const std::string& text) { bytes_.insert(bytes_.end(), text.begin(), text.end()); }
  void U16(int value) {
    bytes_.push_back(static_cast<std::uint8_t>(value));
    bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
  }
  void Table(const std::vector<Colour>& colours) {
    for (const Colour& colour : colours)
      bytes_.insert(bytes_.end(), {colour.red, colour.green, colour.blue});
  }

  std::vector<std::uint8_t> bytes_;
};

inline std::vector<std::uint8_t> Pattern(int width, int height, int (*index)(int x, int y)) {
  std::vector<std::uint8_t> pixels;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) pixels.push_back(static_cast<std::uint8_t>(index(x, y) & 7));
  }
  return pixels;
}

inline constexpr int kScreenWidth = 24;
inline constexpr int kScreenHeight = 20;
inline constexpr int kBackground = 1;

inline const std::vector<Colour>& GlobalColours() {
  static const std::vector<Colour> colours = {{200, 30, 30},  {20, 20, 60},  {30, 180, 40},
                                              {230, 220, 40}, {40, 90, 220}, {240, 240, 240},
                                              {150, 60, 200}, {20, 200, 200}};
  return colours;
}

inline const std::vector<Colour>& LocalColours() {
  static const std::vector<Colour> colours = {{255, 128, 0}, {128, 64, 0},   {255, 0, 128},
                                              {0, 128, 255}, {64, 255, 64},  {255, 255, 128},
                                              {10, 10, 10},  {128, 128, 128}};
  return colours;
}

// Frame delays in centiseconds as written; the second asks for 0.
inline constexpr int kDelays[] = {10, 0, 15, 20};

// Four frames on a 24 x 20 screen:
//  0  the whole screen, kept (disposal 1);
//  1  10 x 8 at (4, 3) with its own table and index 2 transparent, restored
//     to the background afterwards (disposal 2);
//  2  16 x 14 at (10, 8), interlaced, running 2 columns and 2 rows past the
//     screen, index 0 transparent, restored to what was before (disposal 3);
//  3  8 x 6 at (2, 12), opaque.
// loop_count < 0 writes no NETSCAPE2.0 block.
inline std::vector<std::uint8_t> ReferenceAnimation(int loop_count) {
  AnimationBuilder builder(kScreenWidth, kScreenHeight, GlobalColours(), kBackground);
  if (loop_count >= 0) builder.Loop(loop_count);
  builder.Control(1, kDelays[0])
      .Frame(0, 0, kScreenWidth, kScreenHeight,
             Pattern(kScreenWidth, kScreenHeight, [](int x, int y) { return x / 4 + y / 4; }))
      .Control(2, kDelays[1], 2)
      .Frame(4, 3, 10, 8, Pattern(10, 8, [](int x, int y) { return x * 3 + y; }), LocalColours())
      .Control(3, kDelays[2], 0)
      .Frame(10, 8, 16, 14, Pattern(16, 14, [](int x, int y) { return x + 2 * y; }), {}, true)
      .Control(0, kDelays[3])
      .Frame(2, 12, 8, 6, Pattern(8, 6, [](int x, int y) { return 5 + (x + y) % 2; }));
  return builder.Finish();
}

// A PAM picture as ImageMagick writes it, with alpha only when some pixel
// is transparent.
struct Pam {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;
};

inline bool ReadPam(const std::string& path, Pam& pam) {
  const std::vector<unsigned char> bytes = ReadFileBytes(path);
  const std::string text(bytes.begin(), bytes.end());
  const std::size_t end = text.find("ENDHDR\n");
  if (text.rfind("P7\n", 0) != 0 || end == std::string::npos) return false;
  const std::string header = text.substr(0, end);
  int depth = 0;
  int maxval = 0;
  if (std::sscanf(header.c_str() + header.find("WIDTH"), "WIDTH %d", &pam.width) != 1 ||
      std::sscanf(header.c_str() + header.find("HEIGHT"), "HEIGHT %d", &pam.height) != 1 ||
      std::sscanf(header.c_str() + header.find("DEPTH"), "DEPTH %d", &depth) != 1 ||
      std::sscanf(header.c_str() + header.find("MAXVAL"), "MAXVAL %d", &maxval) != 1 ||
      (depth != 3 && depth != 4) || maxval != 255) {
    return false;
  }
  const std::size_t pixels = static_cast<std::size_t>(pam.width) * pam.height;
  if (bytes.size() < end + 7 + pixels * depth) return false;
  const unsigned char* in = bytes.data() + end + 7;
  for (std::size_t i = 0; i < pixels; ++i, in += depth) {
    pam.rgba.insert(pam.rgba.end(), {in[0], in[1], in[2], depth == 4 ? in[3] : std::uint8_t{255}});
  }
  return true;
}

// The colour ImageMagick's coalesced frame shows at (x, y), with the
// reference animation's background where it leaves the frame transparent.
inline Colour ExpectedColour(const Pam& pam, int x, int y) {
  const std::uint8_t* rgba = pam.rgba.data() + 4 * (y * pam.width + x);
  return rgba[3] == 0 ? GlobalColours()[kBackground] : Colour{rgba[0], rgba[1], rgba[2]};
}

}  // namespace gif_animation_test
