// TIFF samples of every bit count up to 8, including those that run on into
// the next byte, against values worked out here.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jpeg_tiff_support.h"
#include "tiff_test_files.h"

namespace {

using tiff_test::Bytes;
using tiff_test::PackSamples;

class TiffSamples : public pcx_tga_test::FormatTest {
 protected:
  static constexpr int kWidth = 13;  // odd, so rows end inside a byte
  static constexpr int kHeight = 3;

  static int Sample(int x, int y, int channel, int bits) {
    return (x * 5 + y * 3 + channel * 7) % (1 << bits);
  }

  std::unique_ptr<TImage> LoadTiff(const std::string& name, int bits, int samples, int photometric,
                                   bool colour_map) {
    const std::string path = files_.File(name);
    const bool written = tiff_test::WriteStripTiff(
        path,
        [&](TIFF* tiff) {
          TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, kWidth);
          TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, kHeight);
          TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, bits);
          TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, samples);
          TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, photometric);
          if (colour_map) {
            std::vector<std::uint16_t> red(1u << bits), green(1u << bits), blue(1u << bits);
            for (std::size_t i = 0; i < red.size(); ++i) {
              red[i] = static_cast<std::uint16_t>((i * 37 % 256) << 8);
              green[i] = static_cast<std::uint16_t>((255 - i) << 8);
              blue[i] = static_cast<std::uint16_t>((i * 11 % 256) << 8);
            }
            TIFFSetField(tiff, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
          }
        },
        kHeight,
        [&](int y, Bytes& line) {
          std::vector<int> values;
          for (int x = 0; x < kWidth; ++x) {
            for (int c = 0; c < samples; ++c) values.push_back(Sample(x, y, c, bits));
          }
          PackSamples(values, bits, line);
        });
    EXPECT_TRUE(written);
    auto image = std::make_unique<TImage>();
    EXPECT_EQ(LoadImageWithStatus(path, *image, settings_.get()).status, LoadStatus::kLoaded);
    return image;
  }
};

TEST_F(TiffSamples, GreyAndPaletteSamplesOfEveryWidthAreTheirIndices) {
  for (int bits : {1, 2, 3, 4, 5, 6, 7, 8}) {
    SCOPED_TRACE(testing::Message() << bits << " bits");
    const int mask = (1 << bits) - 1;
    auto grey = LoadTiff("grey.tif", bits, 1, PHOTOMETRIC_MINISBLACK, false);
    ASSERT_EQ(grey->width, kWidth);
    ASSERT_EQ(grey->bytesPerPixel, 1);
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const int sample = Sample(x, y, 0, bits);
        ASSERT_EQ(grey->Row(y)[x], sample) << x << "," << y;
        ASSERT_EQ(grey->bitmap.Colour(sample).red, sample * 255 / mask);
      }
    }
    auto mapped = LoadTiff("palette.tif", bits, 1, PHOTOMETRIC_PALETTE, true);
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const int sample = Sample(x, y, 0, bits);
        ASSERT_EQ(mapped->Row(y)[x], sample) << x << "," << y;
        ASSERT_EQ(mapped->bitmap.Colour(sample).red, sample * 37 % 256);
        ASSERT_EQ(mapped->bitmap.Colour(sample).green, 255 - sample);
      }
    }
  }
}

TEST_F(TiffSamples, RgbSamplesOfEveryWidthScaleToFullRange) {
  for (int bits : {1, 2, 3, 4, 5, 6, 7}) {
    SCOPED_TRACE(testing::Message() << bits << " bits");
    const int mask = (1 << bits) - 1;
    auto image = LoadTiff("rgb.tif", bits, 3, PHOTOMETRIC_RGB, false);
    ASSERT_EQ(image->bytesPerPixel, 3);
    ASSERT_EQ(image->width, kWidth);
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const std::uint8_t* pixel = image->Row(y) + 3 * x;  // blue, green, red
        ASSERT_EQ(pixel[2], Sample(x, y, 0, bits) * 255 / mask) << x << "," << y;
        ASSERT_EQ(pixel[1], Sample(x, y, 1, bits) * 255 / mask) << x << "," << y;
        ASSERT_EQ(pixel[0], Sample(x, y, 2, bits) * 255 / mask) << x << "," << y;
      }
    }
  }
}

}  // namespace
