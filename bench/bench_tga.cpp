// Targa speed on the benchmark photo: run-length coded 24-bit writing and reading, and the same for
// a 256-colour version.
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
    folder = (std::filesystem::temp_directory_path() / "zentrope-bench-tga-XXXXXX").string();
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

void BM_WriteTga24(benchmark::State& state) {
  Session& session = Shared();
  for (auto _ : state) {
    if (Save(session.File("photo.tga"), *session.photo) != 0) state.SkipWithError("write failed");
  }
}
BENCHMARK(BM_WriteTga24)->Unit(benchmark::kMillisecond);

void BM_ReadTga24(benchmark::State& state) {
  Session& session = Shared();
  if (Save(session.File("read24.tga"), *session.photo) != 0) state.SkipWithError("write failed");
  auto image = std::make_unique<TImage>();
  for (auto _ : state) {
    benchmark::DoNotOptimize(LoadImage(session.File("read24.tga"), *image, nullptr));
  }
}
BENCHMARK(BM_ReadTga24)->Unit(benchmark::kMillisecond);

// The 256-colour version: the photo after a PCX round trip.
void BM_ReadTga8(benchmark::State& state) {
  Session& session = Shared();
  auto image = std::make_unique<TImage>();
  if (Save(session.File("photo8.pcx"), *session.photo) != 0 ||
      LoadImage(session.File("photo8.pcx"), *image, nullptr) != "pcx" ||
      Save(session.File("read8.tga"), *image) != 0) {
    state.SkipWithError("could not make the 256-colour file");
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(LoadImage(session.File("read8.tga"), *image, nullptr));
  }
}
BENCHMARK(BM_ReadTga8)->Unit(benchmark::kMillisecond);

}  // namespace
