// TIFF speed on the benchmark photo: writing and reading 24-bit strips,
// uncompressed (range 1) and LZW-coded (range 5).
#include <benchmark/benchmark.h>

#include <memory>

#include "bench_format_session.h"

namespace {

FormatBenchSession& Shared() {
  return SharedFormatBenchSession("tiff");
}

void BM_WriteTiffPhoto(benchmark::State& state) {
  FormatBenchSession& session = Shared();
  session.settings->Set(IntKey::TIFFCompression, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    if (session.Save(session.File("photo.tif"), *session.photo) != 0)
      state.SkipWithError("write failed");
  }
}
BENCHMARK(BM_WriteTiffPhoto)->Arg(5)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ReadTiffPhoto(benchmark::State& state) {
  FormatBenchSession& session = Shared();
  session.settings->Set(IntKey::TIFFCompression, static_cast<int>(state.range(0)));
  if (session.Save(session.File("read.tif"), *session.photo) != 0)
    state.SkipWithError("write failed");
  auto image = std::make_unique<TImage>();
  for (auto _ : state) {
    benchmark::DoNotOptimize(LoadImage(session.File("read.tif"), *image, session.settings.get()));
  }
}
BENCHMARK(BM_ReadTiffPhoto)->Arg(5)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
