// PCX speed on the benchmark photo: writing quantizes the 24-bit photo to 256 colours and codes the
// rows; reading decodes the 256-colour file that writing made.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench_format_session.h"

namespace {

FormatBenchSession& Shared() {
  return SharedFormatBenchSession("pcx");
}

void BM_WritePcxFromPhoto(benchmark::State& state) {
  FormatBenchSession& session = Shared();
  for (auto _ : state) {
    if (session.Save(session.File("photo.pcx"), *session.photo) != 0)
      state.SkipWithError("write failed");
  }
}
BENCHMARK(BM_WritePcxFromPhoto)->Unit(benchmark::kMillisecond);

void BM_ReadPcx256(benchmark::State& state) {
  FormatBenchSession& session = Shared();
  if (session.Save(session.File("read.pcx"), *session.photo) != 0)
    state.SkipWithError("write failed");
  auto image = std::make_unique<TImage>();
  for (auto _ : state) {
    benchmark::DoNotOptimize(LoadImage(session.File("read.pcx"), *image, nullptr));
  }
}
BENCHMARK(BM_ReadPcx256)->Unit(benchmark::kMillisecond);

}  // namespace
