// GIF speed on the benchmark photo: writing quantizes the 24-bit photo to 256
// colours and LZW-codes it; reading decodes the 256-colour file writing made.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench_format_session.h"

namespace {

FormatBenchSession& Shared() {
  return SharedFormatBenchSession("gif");
}

void BM_WriteGifFromPhoto(benchmark::State& state) {
  FormatBenchSession& session = Shared();
  session.settings->Set(IntKey::GIFLZWEnable, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    if (session.Save(session.File("photo.gif"), *session.photo) != 0)
      state.SkipWithError("write failed");
  }
  session.settings->Set(IntKey::GIFLZWEnable, 1);
}
BENCHMARK(BM_WriteGifFromPhoto)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_ReadGif256(benchmark::State& state) {
  FormatBenchSession& session = Shared();
  if (session.Save(session.File("read.gif"), *session.photo) != 0)
    state.SkipWithError("write failed");
  auto image = std::make_unique<TImage>();
  for (auto _ : state) {
    benchmark::DoNotOptimize(LoadImage(session.File("read.gif"), *image, nullptr));
  }
  state.SetItemsProcessed(state.iterations() * kBenchPhotoWidth * kBenchPhotoHeight);
}
BENCHMARK(BM_ReadGif256)->Unit(benchmark::kMillisecond);

}  // namespace
