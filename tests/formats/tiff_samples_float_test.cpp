// TIFF samples wider than 16 bits or in floating point are scaled down to
// 8 bits: ImageMagick's 32-bit integer files load to the pixels it decodes
// (it cannot write float files here); float samples run from 0 to 1 and
// values outside the range clamp.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "jpeg_tiff_support.h"
#include "tiff_test_files.h"

namespace {

using format_test::Bytes;
using format_test::Rgb;
using jpeg_tiff_test::MaxDifference;

class TiffWideSamplesTest : public format_test::FormatTest {};

TEST_F(TiffWideSamplesTest, ImageMagickWordFilesLoadToItsPixels) {
  REQUIRE_PEER_TOOL("convert");
  const std::string source = "-size 37x21 -seed 5 plasma:fractal ";
  const struct {
    const char* name;
    const char* options;
  } variants[] = {
      {"word.tif", "-depth 32"},
      {"grey-word.tif", "-colorspace gray -depth 32"},
  };
  for (const auto& variant : variants) {
    SCOPED_TRACE(variant.name);
    const std::string path = files_.File(variant.name);
    ASSERT_EQ(RunCommand("convert " + source + variant.options + " " + ShellQuote(path)), 0);
    TImage image;
    ASSERT_EQ(LoadImageWithStatus(path, image, settings_.get()).status, LoadStatus::kLoaded);
    const Rgb theirs = jpeg_tiff_test::PeerRgb("convert " + ShellQuote(path) + " -depth 8 ppm:-",
                                               files_.File("m.ppm"));
    const int difference = MaxDifference(format_test::PictureRgb(image), theirs);
    EXPECT_GE(difference, 0);
    EXPECT_LE(difference, 1);
  }
}

// One grey row of 32-bit samples of the given format.
std::string GreyRowTiff(const std::string& path, int format, int bits, const Bytes& samples) {
  const int count = static_cast<int>(samples.size() * 8 / bits);
  const bool written = tiff_test::WriteStripTiff(
      path,
      [&](TIFF* tiff) {
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, count);
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 1);
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, bits);
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT, format);
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
      },
      1, [&](int, Bytes& line) { std::memcpy(line.data(), samples.data(), line.size()); });
  return written ? path : std::string();
}

template <class T>
Bytes SampleBytes(const std::vector<T>& values) {
  Bytes out(values.size() * sizeof(T));
  std::memcpy(out.data(), values.data(), out.size());
  return out;
}

std::vector<int> GreyLevels(const TImage& image) {
  std::vector<int> levels;
  const Rgb rgb = format_test::PictureRgb(image);
  for (std::size_t i = 0; i < rgb.pixels.size(); i += 3) levels.push_back(rgb.pixels[i]);
  return levels;
}

TEST_F(TiffWideSamplesTest, OutOfRangeSamplesClampAndNegativeIntegersAreBlack) {
  TImage image;
  const std::vector<float> floats = {-2.0f, 0.0f, 0.5f, 1.0f, 7.5f, NAN, INFINITY, 0.25f};
  ASSERT_EQ(
      LoadImage(GreyRowTiff(files_.File("f.tif"), SAMPLEFORMAT_IEEEFP, 32, SampleBytes(floats)),
                image, settings_.get()),
      "tif");
  EXPECT_EQ(GreyLevels(image), (std::vector<int>{0, 0, 128, 255, 255, 0, 255, 64}));

  // Half floats: 0, 0.5, 1, -0, 65504 and the smallest subnormal.
  const std::vector<std::uint16_t> halves = {0x0000, 0x3800, 0x3C00, 0x8000, 0x7BFF, 0x0001};
  ASSERT_EQ(
      LoadImage(GreyRowTiff(files_.File("h.tif"), SAMPLEFORMAT_IEEEFP, 16, SampleBytes(halves)),
                image, settings_.get()),
      "tif");
  EXPECT_EQ(GreyLevels(image), (std::vector<int>{0, 128, 255, 0, 255, 0}));

  const std::vector<std::int32_t> ints = {-5, 0, 0x40000000, 0x7FFFFFFF};
  ASSERT_EQ(LoadImage(GreyRowTiff(files_.File("i.tif"), SAMPLEFORMAT_INT, 32, SampleBytes(ints)),
                      image, settings_.get()),
            "tif");
  EXPECT_EQ(GreyLevels(image), (std::vector<int>{0, 0, 128, 255}));

  const std::vector<std::uint32_t> words = {0, 0x80000000u, 0xFFFFFFFFu, 0x00FFFFFFu};
  ASSERT_EQ(LoadImage(GreyRowTiff(files_.File("u.tif"), SAMPLEFORMAT_UINT, 32, SampleBytes(words)),
                      image, settings_.get()),
            "tif");
  EXPECT_EQ(GreyLevels(image), (std::vector<int>{0, 128, 255, 1}));
}

TEST_F(TiffWideSamplesTest, SixtyFourBitIntegersAreStillRefused) {
  jpeg_tiff_test::TCapture capture;
  const std::vector<std::uint64_t> values = {1, 2};
  TImage image;
  EXPECT_EQ(LoadImageWithStatus(
                GreyRowTiff(files_.File("l.tif"), SAMPLEFORMAT_UINT, 64, SampleBytes(values)),
                image, settings_.get())
                .status,
            LoadStatus::kRefused);
  EXPECT_EQ(capture.Count("TIFF Error: 64 bits per sample are not read"), 1);
}

}  // namespace
