// WebP speed on the benchmark photo: reading it lossy (quality 80, range 0)
// and lossless (range 1), the files made once by libwebp's encoder.
#include <benchmark/benchmark.h>
#include <webp/encode.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench_format_session.h"

namespace {

constexpr float kLossyQuality = 80;

FormatBenchSession& Shared() {
  return SharedFormatBenchSession("webp");
}

// The photo as a WebP file; false when it could not be made.
bool WritePhotoWebp(const TImage& photo, bool lossless, const std::string& path) {
  const int width = photo.width;
  const int height = photo.height;
  std::vector<std::uint8_t> bgr(std::size_t(3) * width * height);
  for (int y = 0; y < height; ++y) {
    std::memcpy(&bgr[std::size_t(3) * width * y], photo.Row(y), std::size_t(3) * width);
  }
  std::uint8_t* output = nullptr;
  const std::size_t size =
      lossless ? WebPEncodeLosslessBGR(bgr.data(), width, height, 3 * width, &output)
               : WebPEncodeBGR(bgr.data(), width, height, 3 * width, kLossyQuality, &output);
  std::FILE* file = size > 0 ? std::fopen(path.c_str(), "wb") : nullptr;
  const bool written = file != nullptr && std::fwrite(output, 1, size, file) == size;
  if (file != nullptr) std::fclose(file);
  WebPFree(output);
  return written;
}

void BM_ReadWebpPhoto(benchmark::State& state) {
  FormatBenchSession& session = Shared();
  const bool lossless = state.range(0) != 0;
  const std::string path = session.File(lossless ? "lossless.webp" : "lossy.webp");
  if (!WritePhotoWebp(*session.photo, lossless, path)) state.SkipWithError("encode failed");
  auto image = std::make_unique<TImage>();
  for (auto _ : state) {
    benchmark::DoNotOptimize(LoadImage(path, *image, session.settings.get()));
  }
}
BENCHMARK(BM_ReadWebpPhoto)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
