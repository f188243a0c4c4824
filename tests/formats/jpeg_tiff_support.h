// Shared by the JPEG and TIFF tests: captured log and comment lines, PPM
// files of peers and of our pictures, and pictures built in code.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "formats/picture_rgb.h"
#include "image/image.h"
#include "pcx_tga_support.h"
#include "platform/log_sink.h"
#include "support/peer_tools.h"
#include "support/temp_dir.h"

namespace jpeg_tiff_test {

using Bytes = std::vector<std::uint8_t>;

struct Rgb {
  int width = 0;
  int height = 0;
  Bytes pixels;  // red, green, blue, top row first
};

// A binary PPM (P6) or PGM (P5, expanded to RGB); empty when unreadable.
inline Rgb ParsePnm(const Bytes& file) {
  std::size_t at = 2;
  auto number = [&]() {
    while (at < file.size() && (std::isspace(file[at]) || file[at] == '#')) {
      if (file[at] == '#') {
        while (at < file.size() && file[at] != '\n') ++at;
      } else {
        ++at;
      }
    }
    int value = 0;
    while (at < file.size() && std::isdigit(file[at])) value = value * 10 + (file[at++] - '0');
    return value;
  };
  if (file.size() < 2 || file[0] != 'P' || (file[1] != '6' && file[1] != '5')) return {};
  const int channels = file[1] == '6' ? 3 : 1;
  Rgb rgb;
  rgb.width = number();
  rgb.height = number();
  if (number() != 255) return {};
  ++at;
  const std::size_t count = std::size_t(rgb.width) * rgb.height;
  if (file.size() < at + count * channels) return {};
  for (std::size_t i = 0; i < count; ++i) {
    for (int c = 0; c < 3; ++c)
      rgb.pixels.push_back(file[at + i * channels + (channels == 3 ? c : 0)]);
  }
  return rgb;
}

inline Rgb PictureRgb(const TImage& image) {
  return {image.width, image.height, PictureToRgb(image)};
}

// What a peer command prints as PNM into `out`.
inline Rgb PeerRgb(const std::string& command, const std::string& out) {
  // Exit status 2 is a warning (a truncated file); the picture is still there.
  if (RunCommand(command + " > " + ShellQuote(out)) < 0) return {};
  return ParsePnm(ReadFileBytes(out));
}

// The largest difference of any channel; -1 when the sizes differ.
inline int MaxDifference(const Rgb& a, const Rgb& b) {
  if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size()) return -1;
  int most = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i) {
    most = std::max(most, std::abs(int(a.pixels[i]) - int(b.pixels[i])));
  }
  return most;
}

inline bool WritePpm(const std::string& path, const Rgb& rgb) {
  const std::string head =
      "P6\n" + std::to_string(rgb.width) + " " + std::to_string(rgb.height) + "\n255\n";
  Bytes bytes(head.begin(), head.end());
  bytes.insert(bytes.end(), rgb.pixels.begin(), rgb.pixels.end());
  return WriteFileBytes(path, bytes);
}

// A photo-like test picture: gradients, edges and fine detail.
inline Rgb MakePhoto(int width, int height) {
  Rgb rgb{width, height, {}};
  rgb.pixels.resize(std::size_t(3) * width * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = &rgb.pixels[3 * (std::size_t(y) * width + x)];
      p[0] = static_cast<std::uint8_t>(x * 255 / width);
      p[1] = static_cast<std::uint8_t>((x / 7 + y / 5) % 2 ? 220 : y * 200 / height);
      p[2] = static_cast<std::uint8_t>((x * x + y * 3) & 0xFF);
    }
  }
  return rgb;
}

// Log lines and comment characters while the object lives.
class TCapture : public LogSink, public CommentSink {
 public:
  TCapture() {
    InstallLogSink(this);
    InstallCommentSink(this);
  }
  ~TCapture() override {
    InstallLogSink(nullptr);
    InstallCommentSink(nullptr);
  }
  void AppendLogLine(std::string_view line) override {
    // Drop the "hh:mm:ss " time of day.
    lines.emplace_back(line.size() > 9 ? line.substr(9) : line);
  }
  void AppendCommentChar(int ch) override {
    if (ch == 0) {
      comments.clear();
    } else {
      comments.push_back(static_cast<char>(ch));
    }
  }
  std::string CommentText() const override { return comments; }
  int Count(const std::string& line) const {
    int count = 0;
    for (const auto& l : lines) count += l == line;
    return count;
  }
  std::vector<std::string> lines;
  std::string comments;
};

}  // namespace jpeg_tiff_test
