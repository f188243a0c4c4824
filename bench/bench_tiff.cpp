// TIFF speed on the benchmark photo: writing and reading 24-bit strips,
// uncompressed (range 1) and LZW-coded (range 5).
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "bench_image_photo.h"
#include "formats/register_formats.h"
#include "image/dither.h"
#include "image/image.h"
#include "image/picture_formats.h"
#include "settings/profile.h"

namespace {

struct Session {
  Session() {
    folder = (std::filesystem::temp_directory_path() / "zentrope-bench-tiff-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) folder = "/tmp";
    setenv("ZENTROPE_WINDIR", folder.c_str(), 1);
    RegisterPictureFormats();
    settings = std::make_unique<TProfile>();
    settings->Defaults();
    photo = std::make_unique<TImage>();
    FillBenchPhoto(*photo);
  }
  ~Session() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  std::string File(const char* name) const { return folder + "/" + name; }

  std::string folder;
  std::unique_ptr<TProfile> settings;
  std::unique_ptr<TImage> photo;
};

Session& Shared() {
  static Session session;
  return session;
}

int Save(const std::string& path, TImage& image) {
  TDither dither;
  LogPalette palette;
  image.GetPalette(palette, nullptr);
  dither.SetSource(image.GetBytesPerPixel() == 1 ? &palette : nullptr, false, true, kNeutralTone,
                   kNeutralTone, false);
  return SaveImage(path, 0, image, *Shared().settings, dither, nullptr);
}

void BM_WriteTiffPhoto(benchmark::State& state) {
  Session& session = Shared();
  session.settings->Set(IntKey::TIFFCompression, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    if (Save(session.File("photo.tif"), *session.photo) != 0) state.SkipWithError("write failed");
  }
}
BENCHMARK(BM_WriteTiffPhoto)->Arg(5)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ReadTiffPhoto(benchmark::State& state) {
  Session& session = Shared();
  session.settings->Set(IntKey::TIFFCompression, static_cast<int>(state.range(0)));
  if (Save(session.File("read.tif"), *session.photo) != 0) state.SkipWithError("write failed");
  auto image = std::make_unique<TImage>();
  for (auto _ : state) {
    benchmark::DoNotOptimize(LoadImage(session.File("read.tif"), *image, session.settings.get()));
  }
}
BENCHMARK(BM_ReadTiffPhoto)->Arg(5)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
