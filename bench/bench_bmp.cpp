// BMP speed on the benchmark photo: writing the 24-bit photo uncompressed,
// and reading back what writing made, at 24 bits and as an 8-bit palette picture.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench_format_session.h"

namespace {

FormatBenchSession& Shared() {
  return SharedFormatBenchSession("bmp");
}

void BM_WriteBmp24(benchmark::State& state) {
  FormatBenchSession& session = Shared();
  for (auto _ : state) {
    if (session.Save(session.File("photo.bmp"), *session.photo) != 0)
      state.SkipWithError("write failed");
  }
}
BENCHMARK(BM_WriteBmp24)->Unit(benchmark::kMillisecond);

void BM_ReadBmp24(benchmark::State& state) {
  FormatBenchSession& session = Shared();
  if (session.Save(session.File("read.bmp"), *session.photo) != 0)
    state.SkipWithError("write failed");
  auto image = std::make_unique<TImage>();
  for (auto _ : state) {
    benchmark::DoNotOptimize(LoadImage(session.File("read.bmp"), *image, nullptr));
  }
}
BENCHMARK(BM_ReadBmp24)->Unit(benchmark::kMillisecond);

// The photo reduced to 256 colours through a GIF, then written and read as an 8-bit bitmap.
void BM_ReadBmp8(benchmark::State& state) {
  FormatBenchSession& session = Shared();
  auto palette_picture = std::make_unique<TImage>();
  if (session.Save(session.File("photo.gif"), *session.photo) != 0 ||
      LoadImage(session.File("photo.gif"), *palette_picture, nullptr) != "gif" ||
      session.Save(session.File("read8.bmp"), *palette_picture) != 0) {
    state.SkipWithError("setup failed");
  }
  auto image = std::make_unique<TImage>();
  for (auto _ : state) {
    benchmark::DoNotOptimize(LoadImage(session.File("read8.bmp"), *image, nullptr));
  }
}
BENCHMARK(BM_ReadBmp8)->Unit(benchmark::kMillisecond);

}  // namespace
