// The image core on the benchmark photo (2720 x 2040, 24-bit): output rows in
// every orientation, the two-pass quantizer to 256 colours and the
// representative palette; beside them the JPEG library's own two-pass
// quantizer (djpeg -colors 256 minus a plain djpeg of the same picture, child
// CPU time) and ImageMagick's Floyd-Steinberg result as PSNR references.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench_image_photo.h"
#include "image/image.h"

namespace {

const TImage& Photo() {
  static const std::unique_ptr<TImage> photo = [] {
    auto image = std::make_unique<TImage>();
    FillBenchPhoto(*image);
    return image;
  }();
  return *photo;
}

// The photo as files for the peers: PPM and a quality-95 JPEG.
const std::string& PhotoFolder() {
  static const std::string folder = [] {
    std::string path = "/tmp/zentrope_bench_image_" + std::to_string(getpid());
    std::system(("mkdir -p " + path).c_str());
    std::atexit([] { std::system(("rm -rf " + PhotoFolder()).c_str()); });
    WriteBenchPpm(Photo(), path + "/photo.ppm");
    std::system(
        ("cjpeg -quality 95 " + path + "/photo.ppm > " + path + "/photo.jpg 2>/dev/null").c_str());
    return path;
  }();
  return folder;
}

void BM_GetOutputRow(benchmark::State& state) {
  auto& image = const_cast<TImage&>(Photo());
  const int orientation = static_cast<int>(state.range(0));
  const ImageSize seen = (orientation & kOrientTranspose) ? ImageSize{image.height, image.width}
                                                          : ImageSize{image.width, image.height};
  image.SetOutputSize(seen.width, seen.height, 1, 1, orientation, true, true);
  std::vector<std::uint8_t> row(std::size_t(seen.width) * 3);
  for (auto _ : state) {
    for (int y = 0; y < seen.height; ++y) {
      image.GetOutputRow(0, y, row.data(), seen.width);
      benchmark::DoNotOptimize(row.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * seen.width * seen.height);
}
BENCHMARK(BM_GetOutputRow)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

struct QuantizedPicture {
  std::vector<std::uint8_t> map;
  std::vector<std::uint8_t> rgb;
  bool keep = false;
};

QuantizeSink SinkInto(QuantizedPicture& out) {
  QuantizeSink sink;
  sink.context = &out;
  sink.colour_map = [](void* c, int n, const std::uint8_t* r, const std::uint8_t* g,
                       const std::uint8_t* b) {
    auto& o = *static_cast<QuantizedPicture*>(c);
    o.map.clear();
    for (int i = 0; i < n; ++i) o.map.insert(o.map.end(), {r[i], g[i], b[i]});
    return true;
  };
  sink.pixel_row = [](void* c, const std::uint8_t* indices, int n) {
    auto& o = *static_cast<QuantizedPicture*>(c);
    if (!o.keep) return true;
    for (int i = 0; i < n; ++i) {
      o.rgb.insert(o.rgb.end(), o.map.begin() + 3 * indices[i], o.map.begin() + 3 * indices[i] + 3);
    }
    return true;
  };
  return sink;
}

double ImageMagickPsnr() {
  const std::string& folder = PhotoFolder();
  if (std::system(("convert " + folder + "/photo.ppm -dither FloydSteinberg -colors 256 ppm:" +
                   folder + "/magick.ppm 2>/dev/null")
                      .c_str()) != 0) {
    return 0;
  }
  int width = 0, height = 0;
  return BenchPsnr(Photo(), ReadBenchPpm(folder + "/magick.ppm", width, height));
}

void BM_QuantizeToOutput256(benchmark::State& state) {
  auto& image = const_cast<TImage&>(Photo());
  image.SetOutputSize(image.width, image.height, 1, 1, 0, true, true);
  QuantizedPicture out;
  const QuantizeSink sink = SinkInto(out);
  for (auto _ : state) benchmark::DoNotOptimize(QuantizeToOutput(image, nullptr, false, 256, sink));
  state.SetItemsProcessed(state.iterations() * image.width * image.height);
  out.keep = true;
  QuantizeToOutput(image, nullptr, false, 256, sink);
  state.counters["psnr_ours"] = BenchPsnr(image, out.rgb);
  state.counters["psnr_imagemagick"] = ImageMagickPsnr();
}
BENCHMARK(BM_QuantizeToOutput256)->Unit(benchmark::kMillisecond);

void BM_MakeRepresentativePalette(benchmark::State& state) {
  auto& image = const_cast<TImage&>(Photo());
  for (auto _ : state) {
    image.MakeRepresentativePalette();
    benchmark::DoNotOptimize(image.representativeCount);
  }
}
BENCHMARK(BM_MakeRepresentativePalette)->Unit(benchmark::kMillisecond);

double ChildCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The peer's decode, with or without its two-pass quantizer; the time is the
// child's CPU time, so the two differ by what the quantizer adds.
void BM_PeerDjpeg(benchmark::State& state) {
  const bool quantize = state.range(0) != 0;
  const std::string command = std::string("djpeg ") + (quantize ? "-colors 256 " : "") + "-bmp " +
                              PhotoFolder() + "/photo.jpg > /dev/null 2>&1";
  for (auto _ : state) {
    const double before = ChildCpuSeconds();
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("djpeg failed");
      break;
    }
    state.SetIterationTime(ChildCpuSeconds() - before);
  }
  state.SetLabel(quantize ? "djpeg -colors 256 -bmp" : "djpeg -bmp");
}
BENCHMARK(BM_PeerDjpeg)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

}  // namespace
