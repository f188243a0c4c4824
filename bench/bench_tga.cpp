// Targa speed on the benchmark photo: run-length coded 24-bit writing and reading, and the same for
// a 256-colour version.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench_format_session.h"

namespace {

FormatBenchSession& Shared() {
  return SharedFormatBenchSession("tga");
}

void BM_WriteTga24(benchmark::State& state) {
  FormatBenchSession& session = Shared();
  for (auto _ : state) {
    if (session.Save(session.File("photo.tga"), *session.photo) != 0)
      state.SkipWithError("write failed");
  }
}
BENCHMARK(BM_WriteTga24)->Unit(benchmark::kMillisecond);

void BM_ReadTga24(benchmark::State& state) {
  FormatBenchSession& session = Shared();
  if (session.Save(session.File("read24.tga"), *session.photo) != 0)
    state.SkipWithError("write failed");
  auto image = std::make_unique<TImage>();
  for (auto _ : state) {
    benchmark::DoNotOptimize(LoadImage(session.File("read24.tga"), *image, nullptr));
  }
}
BENCHMARK(BM_ReadTga24)->Unit(benchmark::kMillisecond);

// The 256-colour version: the photo after a PCX round trip.
void BM_ReadTga8(benchmark::State& state) {
  FormatBenchSession& session = Shared();
  auto image = std::make_unique<TImage>();
  if (session.Save(session.File("photo8.pcx"), *session.photo) != 0 ||
      LoadImage(session.File("photo8.pcx"), *image, nullptr) != "pcx" ||
      session.Save(session.File("read8.tga"), *image) != 0) {
    state.SkipWithError("could not make the 256-colour file");
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(LoadImage(session.File("read8.tga"), *image, nullptr));
  }
}
BENCHMARK(BM_ReadTga8)->Unit(benchmark::kMillisecond);

}  // namespace
