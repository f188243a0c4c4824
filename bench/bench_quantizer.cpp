// Colour quantizer and GIF LZW speed on a 640 x 480 photo, the size of a
// typical batch conversion: the histogram and colour choice, the dithered
// mapping through the inverse colour map, the small representative-palette
// run every 24-bit load makes, and the LZW coding of the mapped indices.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "bench_image_photo.h"
#include "formats/gif_lzw_encoder.h"
#include "image/colour_quantizer.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kRepresentativeSide = 255;

// Blue, green, red rows of the benchmark photo scaled down to width x height.
std::vector<std::uint8_t> PhotoRows(int width, int height) {
  std::vector<std::uint8_t> bgr(std::size_t(width) * height * 3);
  std::uint32_t grain = 2024;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t rgb[3];
      BenchPhotoPixel(x * kBenchPhotoWidth / width, y * kBenchPhotoHeight / height, grain, rgb);
      std::uint8_t* p = &bgr[(std::size_t(y) * width + x) * 3];
      p[0] = rgb[2];
      p[1] = rgb[1];
      p[2] = rgb[0];
    }
  }
  return bgr;
}

const std::vector<std::uint8_t>& Photo() {
  static const std::vector<std::uint8_t> rows = PhotoRows(kWidth, kHeight);
  return rows;
}

// One quantizer serves picture after picture, as in a batch conversion.
TColourQuantizer& Histogram(const std::vector<std::uint8_t>& bgr, int width, int height) {
  static TColourQuantizer quantizer;
  quantizer.Init();
  for (int y = 0; y < height; ++y) quantizer.AddPixels(&bgr[std::size_t(y) * width * 3], width);
  return quantizer;
}

void BM_QuantizerChooseColours(benchmark::State& state) {
  const auto& bgr = Photo();
  for (auto _ : state) {
    benchmark::DoNotOptimize(Histogram(bgr, kWidth, kHeight).ChooseColours(256));
  }
}
BENCHMARK(BM_QuantizerChooseColours)->Unit(benchmark::kMillisecond);

void BM_QuantizerRepresentative(benchmark::State& state) {
  static const std::vector<std::uint8_t> bgr = PhotoRows(kRepresentativeSide, kRepresentativeSide);
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        Histogram(bgr, kRepresentativeSide, kRepresentativeSide).ChooseColours(236));
  }
}
BENCHMARK(BM_QuantizerRepresentative)->Unit(benchmark::kMillisecond);

// Colour choice and dithered mapping of every row, as one GIF write runs them.
std::vector<std::uint8_t> MapPhoto(TColourQuantizer& quantizer) {
  const auto& bgr = Photo();
  std::vector<std::uint8_t> indices(std::size_t(kWidth) * kHeight);
  quantizer.ChooseColours(256);
  quantizer.StartMapping();
  for (int y = 0; y < kHeight; ++y) {
    quantizer.MapRow(&bgr[std::size_t(y) * kWidth * 3], &indices[std::size_t(y) * kWidth], kWidth);
  }
  return indices;
}

void BM_QuantizerMapRows(benchmark::State& state) {
  TColourQuantizer& quantizer = Histogram(Photo(), kWidth, kHeight);
  for (auto _ : state) benchmark::DoNotOptimize(MapPhoto(quantizer));
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_QuantizerMapRows)->Unit(benchmark::kMillisecond);

class CountingSink final : public GifPacketSink {
 public:
  bool WritePacket(const std::uint8_t*, int count) override {
    bytes += count;
    return true;
  }
  std::int64_t bytes = 0;
};

void BM_GifLzwEncode(benchmark::State& state) {
  const std::vector<std::uint8_t> indices = MapPhoto(Histogram(Photo(), kWidth, kHeight));
  const bool compress = state.range(0) != 0;
  TGifLzwEncoder encoder;
  CountingSink sink;
  for (auto _ : state) {
    encoder.Start(9, compress, sink);
    for (int y = 0; y < kHeight; ++y) encoder.Put(&indices[std::size_t(y) * kWidth], kWidth);
    encoder.Finish();
  }
  benchmark::DoNotOptimize(sink.bytes);
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_GifLzwEncode)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace
