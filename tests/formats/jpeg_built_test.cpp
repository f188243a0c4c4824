// JPEG files made with libjpeg inside the test, for the cases that need no
// peer tool: CMYK inks with and without the Adobe marker, and progressive
// files with more scans than any encoder writes.
#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include <jpeglib.h>

#include "jpeg_tiff_support.h"

namespace {

using jpeg_tiff_test::Bytes;
using jpeg_tiff_test::TCapture;

// Compresses `rows` rows of `components` samples each; `setup` adjusts the
// parameters after the defaults.
Bytes Compress(int width, int height, int components, J_COLOR_SPACE space,
               const std::function<std::uint8_t(int, int, int)>& sample,
               const std::function<void(jpeg_compress_struct&)>& setup) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = components;
  cinfo.in_color_space = space;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 100, TRUE);
  setup(cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * components);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      for (int c = 0; c < components; ++c) row[std::size_t(x) * components + c] = sample(x, y, c);
    }
    JSAMPROW pointer = row.data();
    jpeg_write_scanlines(&cinfo, &pointer, 1);
  }
  jpeg_finish_compress(&cinfo);
  Bytes bytes(buffer, buffer + size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return bytes;
}

using JpegBuilt = pcx_tga_test::FormatTest;

TEST_F(JpegBuilt, CmykInksAreInvertedOnlyWhenTheAdobeMarkerSaysSo) {
  // Flat inks, so compression keeps them within a step or two: cyan 40,
  // magenta 100, yellow 0, black 0 as ink amounts.
  const std::uint8_t inks[4] = {40, 100, 0, 0};
  for (bool adobe : {false, true}) {
    SCOPED_TRACE(adobe ? "Adobe marker" : "no Adobe marker");
    const Bytes file = Compress(
        16, 16, 4, JCS_CMYK,
        // Adobe's files hold 255 - ink.
        [&](int, int, int c) { return static_cast<std::uint8_t>(adobe ? 255 - inks[c] : inks[c]); },
        [&](jpeg_compress_struct& cinfo) { cinfo.write_Adobe_marker = adobe ? TRUE : FALSE; });
    TImage image;
    ASSERT_EQ(Load(file, image), "jpg");
    ASSERT_EQ(image.bytesPerPixel, 3);
    const std::vector<int> pixel = pcx_tga_test::PixelAt(image, 8, 8);
    EXPECT_NEAR(pixel[0], 255 - 40, 2);
    EXPECT_NEAR(pixel[1], 255 - 100, 2);
    EXPECT_NEAR(pixel[2], 255, 2);
  }
}

TEST_F(JpegBuilt, ProgressiveFileWithTooManyScansIsRefused) {
  // Three components: one DC scan for all, then single AC coefficients.
  auto scans = [](int count) {
    std::vector<jpeg_scan_info> script;
    script.push_back({3, {0, 1, 2, 0}, 0, 0, 0, 0});
    for (int k = 1; static_cast<int>(script.size()) < count; k = k % 63 + 1) {
      const int component = static_cast<int>(script.size() - 1) / 63 % 3;
      script.push_back({1, {component, 0, 0, 0}, k, k, 0, 0});
    }
    return script;
  };
  auto make = [&](int count) {
    const std::vector<jpeg_scan_info> script = scans(count);
    return Compress(
        24, 16, 3, JCS_RGB,
        [](int x, int y, int c) { return static_cast<std::uint8_t>(x * 9 + y * 5 + c * 70); },
        [&](jpeg_compress_struct& cinfo) {
          cinfo.scan_info = script.data();
          cinfo.num_scans = static_cast<int>(script.size());
        });
  };
  TImage image;
  {
    TCapture capture;
    ASSERT_EQ(Load(make(100), image), "jpg");
    EXPECT_EQ(image.width, 24);
    EXPECT_TRUE(capture.lines.empty());
  }
  TCapture capture;
  const std::string path = files_.File("many.jpg");
  ASSERT_TRUE(WriteFileBytes(path, make(101)));
  const LoadImageResult result = LoadImageWithStatus(path, image, settings_.get());
  EXPECT_EQ(result.status, LoadStatus::kRefused);
  EXPECT_EQ(image.width, 64);
  EXPECT_EQ(capture.Count("JPEG Error: Too many scans in progressive JPEG file"), 1);
}

}  // namespace
