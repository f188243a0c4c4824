// PNG speed on the benchmark photo: writing at the default level and reading
// it back, the file made once by our own writer.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench_format_session.h"

namespace {

FormatBenchSession& Shared() {
  return SharedFormatBenchSession("png");
}

void BM_WritePngPhoto(benchmark::State& state) {
  FormatBenchSession& session = Shared();
  for (auto _ : state) {
    if (session.Save(session.File("photo.png"), *session.photo) != 0)
      state.SkipWithError("write failed");
  }
}
BENCHMARK(BM_WritePngPhoto)->Unit(benchmark::kMillisecond);

void BM_ReadPngPhoto(benchmark::State& state) {
  FormatBenchSession& session = Shared();
  if (session.Save(session.File("read.png"), *session.photo) != 0)
    state.SkipWithError("write failed");
  auto image = std::make_unique<TImage>();
  for (auto _ : state) {
    benchmark::DoNotOptimize(LoadImage(session.File("read.png"), *image, session.settings.get()));
  }
}
BENCHMARK(BM_ReadPngPhoto)->Unit(benchmark::kMillisecond);

}  // namespace
