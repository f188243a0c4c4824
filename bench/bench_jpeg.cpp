// JPEG speed on the benchmark photo: reading into a 24-bit picture (the row
// path beside the library's decoding) and at QuickLook's eighth; writing at
// quality 75 with and without optimized tables. (Quantized reading refuses
// pictures this wide.)
#include <benchmark/benchmark.h>

#include <memory>

#include "bench_format_session.h"

namespace {

FormatBenchSession& Shared() {
  return SharedFormatBenchSession("jpeg");
}

void BM_WriteJpegPhoto(benchmark::State& state) {
  FormatBenchSession& session = Shared();
  session.settings->Set(IntKey::JPEGOutputQuality, 75);
  session.settings->Set(IntKey::JPEGOutputOptimize, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    if (session.Save(session.File("photo.jpg"), *session.photo) != 0)
      state.SkipWithError("write failed");
  }
  session.settings->Set(IntKey::JPEGOutputOptimize, 1);
}
BENCHMARK(BM_WriteJpegPhoto)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// range(0): 0 24-bit, 1 QuickLook.
void BM_ReadJpegPhoto(benchmark::State& state) {
  FormatBenchSession& session = Shared();
  if (session.Save(session.File("read.jpg"), *session.photo) != 0)
    state.SkipWithError("write failed");
  session.settings->Set(IntKey::QuickLook, static_cast<int>(state.range(0)));
  auto image = std::make_unique<TImage>();
  for (auto _ : state) {
    benchmark::DoNotOptimize(LoadImage(session.File("read.jpg"), *image, session.settings.get()));
  }
  session.settings->Set(IntKey::QuickLook, 0);
}
BENCHMARK(BM_ReadJpegPhoto)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
