// JPEG speed on the benchmark photo: reading into a 24-bit picture (the row
// path beside the library's decoding) and at QuickLook's eighth; writing at
// quality 75 with and without optimized tables. (Quantized reading refuses
// pictures this wide.)
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
    folder = (std::filesystem::temp_directory_path() / "zentrope-bench-jpeg-XXXXXX").string();
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

void BM_WriteJpegPhoto(benchmark::State& state) {
  Session& session = Shared();
  session.settings->Set(IntKey::JPEGOutputQuality, 75);
  session.settings->Set(IntKey::JPEGOutputOptimize, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    if (Save(session.File("photo.jpg"), *session.photo) != 0) state.SkipWithError("write failed");
  }
  session.settings->Set(IntKey::JPEGOutputOptimize, 1);
}
BENCHMARK(BM_WriteJpegPhoto)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// range(0): 0 24-bit, 1 QuickLook.
void BM_ReadJpegPhoto(benchmark::State& state) {
  Session& session = Shared();
  if (Save(session.File("read.jpg"), *session.photo) != 0) state.SkipWithError("write failed");
  session.settings->Set(IntKey::QuickLook, static_cast<int>(state.range(0)));
  auto image = std::make_unique<TImage>();
  for (auto _ : state) {
    benchmark::DoNotOptimize(LoadImage(session.File("read.jpg"), *image, session.settings.get()));
  }
  session.settings->Set(IntKey::QuickLook, 0);
}
BENCHMARK(BM_ReadJpegPhoto)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
