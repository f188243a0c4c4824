// The JPEG reader against libjpeg-turbo's own djpeg, and its refusals.
#include <gtest/gtest.h>

#include <string>

#include "jpeg_tiff_support.h"

namespace {

using jpeg_tiff_test::Bytes;
using jpeg_tiff_test::MaxDifference;
using jpeg_tiff_test::PeerRgb;
using jpeg_tiff_test::PictureRgb;
using jpeg_tiff_test::Rgb;
using jpeg_tiff_test::TCapture;

class JpegRead : public pcx_tga_test::FormatTest {
 protected:
  void SetUp() override {
    FormatTest::SetUp();
    if (!HavePeerTool("cjpeg") || !HavePeerTool("djpeg"))
      GTEST_SKIP() << "libjpeg-turbo-progs missing";
  }
  // A JPEG of the test photo made by cjpeg with `options`.
  std::string MakeJpeg(const std::string& name, const std::string& options, int width = 203,
                       int height = 141) {
    const std::string ppm = files_.File(name + ".ppm");
    EXPECT_TRUE(jpeg_tiff_test::WritePpm(ppm, jpeg_tiff_test::MakePhoto(width, height)));
    const std::string jpg = files_.File(name);
    EXPECT_EQ(RunCommand("cjpeg " + options + " " + ShellQuote(ppm) + " > " + ShellQuote(jpg)), 0);
    return jpg;
  }
  Rgb Djpeg(const std::string& options, const std::string& jpg) {
    return PeerRgb("djpeg -pnm " + options + " " + ShellQuote(jpg) + " 2>/dev/null",
                   files_.File("peer.pnm"));
  }
  std::string LoadPath(const std::string& path, TImage& image) {
    return LoadImage(path, image, settings_.get());
  }
};

TEST_F(JpegRead, EveryKindOfFileEqualsDjpeg) {
  struct Case {
    const char* name;
    const char* cjpeg;
  } cases[] = {{"baseline420.jpg", "-quality 80"},
               {"progressive444.jpg", "-progressive -sample 1x1"},
               {"restart.jpg", "-restart 2 -sample 2x1"},
               {"optimized.jpg", "-optimize -quality 30"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string jpg = MakeJpeg(c.name, c.cjpeg);
    for (int pixel_smoothing : {0, 1}) {
      settings_->Set(IntKey::JPEGPixelSmoothing, pixel_smoothing);
      settings_->Set(IntKey::JPEGBlockSmoothing, 1);
      auto image = std::make_unique<TImage>();
      EXPECT_EQ(LoadPath(jpg, *image), "jpg");
      EXPECT_EQ(image->bytesPerPixel, 3);
      EXPECT_EQ(MaxDifference(PictureRgb(*image), Djpeg(pixel_smoothing ? "" : "-nosmooth", jpg)),
                0);
    }
  }
}

TEST_F(JpegRead, GreyFileLoadsAsGreyLevelsWhateverTheQuantizing) {
  const std::string jpg = MakeJpeg("grey.jpg", "-grayscale");
  for (int two_pass : {0, 1}) {
    settings_->Set(IntKey::JPEGTwoPass, two_pass);
    auto image = std::make_unique<TImage>();
    LoadPath(jpg, *image);
    ASSERT_EQ(image->bytesPerPixel, 1);
    EXPECT_EQ(image->bitmap.Colour(200).red, 200);
    EXPECT_EQ(image->bitmap.Colour(200).blue, 200);
    EXPECT_EQ(MaxDifference(PictureRgb(*image), Djpeg("-nosmooth", jpg)), 0);
  }
}

TEST_F(JpegRead, QuantizedReadingEqualsDjpegColours) {
  const std::string jpg = MakeJpeg("colour.jpg", "-quality 90");
  settings_->Set(IntKey::JPEGTwoPass, 1);
  for (int dithering : {1, 0}) {
    settings_->Set(IntKey::JPEGUseDithering, dithering);
    auto image = std::make_unique<TImage>();
    LoadPath(jpg, *image);
    ASSERT_EQ(image->bytesPerPixel, 1);
    const std::string options =
        dithering ? "-colors 256 -nosmooth" : "-colors 256 -dither none -nosmooth";
    EXPECT_EQ(MaxDifference(PictureRgb(*image), Djpeg(options, jpg)), 0);
  }
}

TEST_F(JpegRead, MonochromeSettingDecodesGrey) {
  const std::string jpg = MakeJpeg("colour.jpg", "");
  settings_->Set(IntKey::JPEGUseMonochrome, 1);
  auto image = std::make_unique<TImage>();
  LoadPath(jpg, *image);
  EXPECT_EQ(image->bytesPerPixel, 1);
  EXPECT_EQ(MaxDifference(PictureRgb(*image), Djpeg("-grayscale -nosmooth", jpg)), 0);
}

TEST_F(JpegRead, QuickLookDecodesAnEighthInGrey) {
  const std::string jpg = MakeJpeg("big.jpg", "", 1600, 1200);
  settings_->Set(IntKey::QuickLook, 1);
  settings_->Set(IntKey::JPEGPixelSmoothing, 1);  // QuickLook turns smoothing off
  auto image = std::make_unique<TImage>();
  LoadPath(jpg, *image);
  EXPECT_EQ(image->width, 200);
  EXPECT_EQ(image->height, 150);
  EXPECT_EQ(image->bytesPerPixel, 1);
  EXPECT_EQ(MaxDifference(PictureRgb(*image), Djpeg("-grayscale -scale 1/8 -nosmooth", jpg)), 0);
}

TEST_F(JpegRead, WideColourPictureIsReducedOrRefusedWhenQuantized) {
  const std::string jpg = MakeJpeg("wide.jpg", "", 3000, 40);
  {
    auto image = std::make_unique<TImage>();
    LoadPath(jpg, *image);
    EXPECT_EQ(image->width, 1500);
    EXPECT_EQ(image->height, 20);
    EXPECT_EQ(image->reduction, 2);
    EXPECT_EQ(MaxDifference(PictureRgb(*image), Djpeg("-scale 1/2 -nosmooth", jpg)), 0);
  }
  settings_->Set(IntKey::JPEGTwoPass, 1);
  TCapture capture;
  auto image = std::make_unique<TImage>();
  EXPECT_EQ(LoadPath(jpg, *image), "jpg");
  EXPECT_EQ(image->width, 64);  // the placeholder
  EXPECT_EQ(capture.Count("JPEG Error: Can't quantize images wider than 2048."), 1);
}

TEST_F(JpegRead, WideGreyPictureLoadsDespiteTheQuantizingLimit) {
  const std::string jpg = MakeJpeg("widegrey.jpg", "-grayscale", 3000, 20);
  settings_->Set(IntKey::JPEGTwoPass, 1);
  auto image = std::make_unique<TImage>();
  LoadPath(jpg, *image);
  EXPECT_EQ(image->width, 3000);
  EXPECT_EQ(MaxDifference(PictureRgb(*image), Djpeg("-nosmooth", jpg)), 0);
}

TEST_F(JpegRead, TruncatedFileWarnsOnceAndKeepsWhatItHas) {
  const std::string jpg = MakeJpeg("whole.jpg", "-quality 95");
  Bytes bytes = ReadFileBytes(jpg);
  bytes.resize(bytes.size() / 2);
  const std::string cut = files_.File("cut.jpg");
  WriteFileBytes(cut, bytes);
  TCapture capture;
  auto image = std::make_unique<TImage>();
  LoadPath(cut, *image);
  EXPECT_EQ(capture.Count("JPEG Warning: Premature EOF in JPEG file"), 1);
  EXPECT_EQ(capture.lines.size(), 1u);
  EXPECT_EQ(MaxDifference(PictureRgb(*image), Djpeg("-nosmooth", cut)), 0);
}

TEST_F(JpegRead, FileAfterOtherDataLoads) {
  const std::string jpg = MakeJpeg("plain.jpg", "");
  Bytes bytes(128, 'x');
  const Bytes jpeg = ReadFileBytes(jpg);
  bytes.insert(bytes.end(), jpeg.begin(), jpeg.end());
  const std::string wrapped = files_.File("wrapped.bin");
  WriteFileBytes(wrapped, bytes);
  auto image = std::make_unique<TImage>();
  EXPECT_EQ(LoadPath(wrapped, *image), "jpg");
  EXPECT_EQ(MaxDifference(PictureRgb(*image), Djpeg("-nosmooth", jpg)), 0);
}

TEST_F(JpegRead, CmykFileLoadsAsColourAsImageMagickSeesIt) {
  REQUIRE_PEER_TOOL("convert");
  const std::string ppm = files_.File("photo.ppm");
  jpeg_tiff_test::WritePpm(ppm, jpeg_tiff_test::MakePhoto(120, 90));
  const std::string jpg = files_.File("cmyk.jpg");
  ASSERT_EQ(
      RunCommand("convert " + ShellQuote(ppm) + " -colorspace cmyk -quality 95 " + ShellQuote(jpg)),
      0);
  const Rgb magick =
      PeerRgb("convert " + ShellQuote(jpg) + " -colorspace srgb ppm:-", files_.File("m.ppm"));
  auto image = std::make_unique<TImage>();
  LoadPath(jpg, *image);
  EXPECT_EQ(image->bytesPerPixel, 3);
  EXPECT_LE(MaxDifference(PictureRgb(*image), magick), 1);

  settings_->Set(IntKey::JPEGTwoPass, 1);
  LoadPath(jpg, *image);
  EXPECT_EQ(image->bytesPerPixel, 1);
  // Dithered to at most 256 colours: close on average, not per pixel.
  const Rgb ours = PictureRgb(*image);
  ASSERT_EQ(ours.pixels.size(), magick.pixels.size());
  double total = 0;
  for (std::size_t i = 0; i < ours.pixels.size(); ++i)
    total += std::abs(ours.pixels[i] - magick.pixels[i]);
  EXPECT_LT(total / static_cast<double>(ours.pixels.size()), 12.0);  // inverted inks: ~100
}

}  // namespace
