// Pieces every family of format tests needs: pixels as red, green, blue with
// their size, a peer's PNM output read into them, neutral save adjustments, a
// pump that cancels long operations, and a fixture with private settings.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "formats/picture_rgb.h"
#include "formats/register_formats.h"
#include "image/dither.h"
#include "image/image.h"
#include "image/picture_formats.h"
#include "platform/long_operation.h"
#include "settings/profile.h"
#include "settings/profile_environment.h"
#include "support/temp_dir.h"

namespace format_test {

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

// The adjustments left neutral, with the picture's own palette as source.
inline void NeutralDither(TDither& dither, const TImage& image) {
  LogPalette palette;
  image.GetPalette(palette, nullptr);
  dither.SetSource(image.GetBytesPerPixel() == 1 ? &palette : nullptr, false, true, kNeutralTone,
                   kNeutralTone, false);
}

// Cancels at the first poll, so a save stops before it writes much.
class CancellingPump : public LongOperationPump {
 public:
  void PumpWaitingMessages() override { RequestCancel(); }
  void RepostCurrentMessage() override {}
};

// The result of `run` with every long operation cancelled at its first poll.
template <class Run>
auto WhileCancelling(Run run) {
  CancellingPump pump;
  InstallLongOperationPump(&pump);
  const auto result = run();
  InstallLongOperationPump(nullptr);
  return result;
}

// Settings of their own, formats registered, a folder for files.
class FormatTest : public ProfileEnvironment {
 protected:
  void SetUp() override {
    ProfileEnvironment::SetUp();
    RegisterPictureFormats();
    settings_ = std::make_unique<TProfile>();
    settings_->Defaults();
  }

  // Writes the bytes to a file and loads it; returns the format name.
  std::string Load(const Bytes& bytes, TImage& image, const std::string& name = "in.bin") {
    const std::string path = files_.File(name);
    EXPECT_TRUE(WriteFileBytes(path, bytes));
    return LoadImage(path, image, settings_.get());
  }

  // Saves with neutral adjustments; returns SaveImage's result.
  int Save(const std::string& name, TImage& image) {
    TDither dither;
    NeutralDither(dither, image);
    return SaveImage(files_.File(name), 0, image, *settings_, dither, nullptr);
  }

  TempDir files_;
  std::unique_ptr<TProfile> settings_;
};

}  // namespace format_test
