// Set-up shared by the per-format benchmarks: a private settings folder so the
// run never touches the user's profile, default settings, and the benchmark
// photo, made once per executable because filling it takes longer than most runs.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "bench_image_photo.h"
#include "formats/register_formats.h"
#include "image/dither.h"
#include "image/image.h"
#include "image/picture_formats.h"
#include "settings/profile.h"

class FormatBenchSession {
 public:
  explicit FormatBenchSession(const std::string& format) {
    folder_ = (std::filesystem::temp_directory_path() / ("zentrope-bench-" + format + "-XXXXXX"))
                  .string();
    if (mkdtemp(folder_.data()) == nullptr) folder_ = "/tmp";
    setenv("ZENTROPE_WINDIR", folder_.c_str(), 1);
    RegisterPictureFormats();
    settings = std::make_unique<TProfile>();
    settings->Defaults();
    photo = std::make_unique<TImage>();
    FillBenchPhoto(*photo);
  }
  ~FormatBenchSession() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  FormatBenchSession(const FormatBenchSession&) = delete;
  FormatBenchSession& operator=(const FormatBenchSession&) = delete;

  std::string File(const char* name) const { return folder_ + "/" + name; }

  // Saves with the current settings and no colour adjustment; a palette
  // picture keeps its own palette.
  int Save(const std::string& path, TImage& image) const {
    TDither dither;
    LogPalette palette;
    image.GetPalette(palette, nullptr);
    dither.SetSource(image.GetBytesPerPixel() == 1 ? &palette : nullptr, false, true, kNeutralTone,
                     kNeutralTone, false);
    return SaveImage(path, 0, image, *settings, dither, nullptr);
  }

  std::unique_ptr<TProfile> settings;
  std::unique_ptr<TImage> photo;

 private:
  std::string folder_;
};

// One session per executable, made on first use.
inline FormatBenchSession& SharedFormatBenchSession(const std::string& format) {
  static FormatBenchSession session(format);
  return session;
}
