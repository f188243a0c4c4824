// Shared by the JPEG and TIFF tests: captured log and comment lines, PPM
// files of peers and of our pictures, and pictures built in code.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "format_test_support.h"
#include "image/image.h"
#include "pcx_tga_support.h"
#include "platform/log_sink.h"
#include "support/peer_tools.h"
#include "support/temp_dir.h"

namespace jpeg_tiff_test {

using format_test::Bytes;
using format_test::ParsePnm;
using format_test::PictureRgb;
using format_test::Rgb;

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
