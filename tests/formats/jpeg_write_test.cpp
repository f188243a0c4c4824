// The JPEG writer against cjpeg compressing the same pixels.
#include <gtest/gtest.h>

#include <string>

#include "jpeg_tiff_support.h"

namespace {

using jpeg_tiff_test::Bytes;
using jpeg_tiff_test::Rgb;

class JpegWrite : public pcx_tga_test::FormatTest {
 protected:
  void SetUp() override {
    FormatTest::SetUp();
    if (!HavePeerTool("cjpeg")) GTEST_SKIP() << "libjpeg-turbo-progs missing";
  }
  Bytes Cjpeg(const std::string& options, const Rgb& pixels) {
    const std::string ppm = files_.File("source.ppm");
    jpeg_tiff_test::WritePpm(ppm, pixels);
    const std::string out = files_.File("peer.jpg");
    EXPECT_EQ(RunCommand("cjpeg " + options + " " + ShellQuote(ppm) + " > " + ShellQuote(out)), 0);
    return ReadFileBytes(out);
  }
};

TEST_F(JpegWrite, FilesEqualCjpegWithTheSameOptions) {
  auto image = std::make_unique<TImage>();
  pcx_tga_test::MakeColourPicture(*image, 157, 93);
  const Rgb pixels = jpeg_tiff_test::PictureRgb(*image);
  struct Case {
    int quality, optimize, monochrome, smoothing;
    const char* cjpeg;
  } cases[] = {{75, 1, 0, 0, "-quality 75 -optimize"},
               {0, 0, 0, 0, "-quality 0"},
               {100, 1, 0, 0, "-quality 100 -optimize"},
               {90, 0, 1, 0, "-quality 90 -grayscale"},
               {50, 1, 0, 30, "-quality 50 -optimize -smooth 30"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cjpeg);
    settings_->Set(IntKey::JPEGOutputQuality, c.quality);
    settings_->Set(IntKey::JPEGOutputOptimize, c.optimize);
    settings_->Set(IntKey::JPEGOutputMonochrome, c.monochrome);
    settings_->Set(IntKey::JPEGOutputSmoothing, c.smoothing);
    ASSERT_EQ(Save("ours.jpg", *image), 0);
    EXPECT_TRUE(ReadFileBytes(files_.File("ours.jpg")) == Cjpeg(c.cjpeg, pixels));
  }
}

TEST_F(JpegWrite, PicturesAreWrittenThroughTheirAdjustedColours) {
  for (int bytes_per_pixel : {1, 3}) {
    SCOPED_TRACE(bytes_per_pixel);
    auto image = std::make_unique<TImage>();
    if (bytes_per_pixel == 1) {
      pcx_tga_test::MakePalettePicture(*image, 64, 40);
    } else {
      pcx_tga_test::MakeColourPicture(*image, 64, 40);
    }
    TDither dither;
    LogPalette palette;
    image->GetPalette(palette, nullptr);
    dither.SetSource(bytes_per_pixel == 1 ? &palette : nullptr, false, true, kNeutralTone,
                     kNeutralTone, true);  // inverted
    ASSERT_EQ(SaveImage(files_.File("ours.jpg"), 0, *image, *settings_, dither, nullptr), 0);
    Rgb inverted = jpeg_tiff_test::PictureRgb(*image);
    for (auto& value : inverted.pixels) value = static_cast<std::uint8_t>(255 - value);
    EXPECT_TRUE(ReadFileBytes(files_.File("ours.jpg")) == Cjpeg("-quality 75 -optimize", inverted));
  }
}

TEST_F(JpegWrite, ViewAndOutputSizeDecideWhatIsWritten) {
  auto image = std::make_unique<TImage>();
  pcx_tga_test::MakeColourPicture(*image, 400, 200);
  settings_->Set(IntKey::OutputWidth, 100);
  ASSERT_EQ(Save("small.jpg", *image), 0);
  auto loaded = std::make_unique<TImage>();
  EXPECT_EQ(LoadImage(files_.File("small.jpg"), *loaded, settings_.get()), "jpg");
  EXPECT_EQ(loaded->width, 100);
  EXPECT_EQ(loaded->height, 50);
}

TEST_F(JpegWrite, FailuresReturnOne) {
  auto image = std::make_unique<TImage>();
  pcx_tga_test::MakeColourPicture(*image, 300, 300);
  EXPECT_EQ(Save("missing-folder/out.jpg", *image), 1);
  jpeg_tiff_test::TCapture capture;
  TDither dither;
  dither.SetSource(nullptr, false, true, kNeutralTone, kNeutralTone, false);
  EXPECT_EQ(SaveImage("/dev/full", 5, *image, *settings_, dither, nullptr), 1);
  ASSERT_FALSE(capture.lines.empty());
  EXPECT_EQ(capture.lines[0].rfind("JPEG Error: Output file write error", 0), 0u);
}

}  // namespace
