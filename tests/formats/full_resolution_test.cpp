// FullResolution: pictures past the 8192-byte rows are held whole up to
// 32768 pixels a side and 1 GiB of bitmap, and reduced as before beyond.
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "jpeg_tiff_support.h"
#include "pcx_tga_support.h"
#include "support/peer_tools.h"

namespace {

using jpeg_tiff_test::MaxDifference;
using jpeg_tiff_test::PeerRgb;
using jpeg_tiff_test::PictureRgb;
using pcx_tga_test::Bytes;
using pcx_tga_test::PutU16;

// An 18-byte header of an uncompressed 24-bit Targa and no pixels at all:
// whatever it claims, only the header is read.
Bytes TargaHeaderOnly(int width, int height) {
  Bytes header(18, 0);
  header[2] = 2;
  PutU16(header, 12, width);
  PutU16(header, 14, height);
  header[16] = 24;
  return header;
}

// A 14-byte file header and 40-byte information header of a 24-bit bitmap,
// and no pixels.
Bytes BitmapHeaderOnly(int width, int height) {
  Bytes file(54, 0);
  auto put32 = [&](std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(width));
  put32(22, static_cast<std::uint32_t>(height));
  PutU16(file, 26, 1);
  PutU16(file, 28, 24);
  return file;
}

class FullResolution : public pcx_tga_test::FormatTest {
 protected:
  std::unique_ptr<TImage> LoadWith(int full_resolution, const Bytes& bytes,
                                   const std::string& name) {
    settings_->Set(IntKey::FullResolution, full_resolution);
    auto image = std::make_unique<TImage>();
    Load(bytes, *image, name);
    return image;
  }
  std::unique_ptr<TImage> LoadFileWith(int full_resolution, const std::string& path) {
    settings_->Set(IntKey::FullResolution, full_resolution);
    auto image = std::make_unique<TImage>();
    LoadImage(path, *image, settings_.get());
    return image;
  }
};

TEST_F(FullResolution, WideJpegIsDecodedWholeInsteadOfAtHalfScale) {
  if (!HavePeerTool("cjpeg") || !HavePeerTool("djpeg")) GTEST_SKIP() << "libjpeg-turbo-progs";
  const std::string ppm = files_.File("wide.ppm");
  ASSERT_TRUE(jpeg_tiff_test::WritePpm(ppm, jpeg_tiff_test::MakePhoto(3000, 200)));
  const std::string jpg = files_.File("wide.jpg");
  ASSERT_EQ(RunCommand("cjpeg " + ShellQuote(ppm) + " > " + ShellQuote(jpg)), 0);

  const auto reduced = LoadFileWith(0, jpg);
  EXPECT_EQ(reduced->width, 1500);
  EXPECT_EQ(reduced->height, 100);
  EXPECT_EQ(reduced->reduction, 2);

  const auto whole = LoadFileWith(1, jpg);
  ASSERT_EQ(whole->width, 3000);
  ASSERT_EQ(whole->height, 200);
  EXPECT_EQ(whole->reduction, 1);
  const auto peer = PeerRgb("djpeg -pnm -nosmooth " + ShellQuote(jpg), files_.File("peer.pnm"));
  EXPECT_EQ(MaxDifference(PictureRgb(*whole), peer), 0) << "decoded at full scale, no DCT scaling";
}

TEST_F(FullResolution, SidesBeyondThirtyTwoThousandAreHalvedAndClassicLimitsStay) {
  // Targa sides end at 65535; classic readers refuse anything past 8192.
  const Bytes widest = TargaHeaderOnly(65535, 16);
  EXPECT_EQ(LoadWith(0, widest, "widest.tga")->width, 64) << "the placeholder";
  const auto halved = LoadWith(1, widest, "widest.tga");
  EXPECT_EQ(halved->width, 32767);
  EXPECT_EQ(halved->height, 8);
  EXPECT_EQ(halved->reduction, 2);

  const auto exact = LoadWith(1, TargaHeaderOnly(32768, 16), "exact.tga");
  EXPECT_EQ(exact->width, 32768);
  EXPECT_EQ(exact->reduction, 1);

  const auto tall = LoadWith(1, BitmapHeaderOnly(20, 40000), "tall.bmp");
  EXPECT_EQ(tall->height, 20000);
  EXPECT_EQ(tall->width, 10);
  // Every row pointer of the larger picture points into its bitmap.
  EXPECT_NE(tall->Row(19999), tall->scratchRow.data());
  EXPECT_EQ(tall->Row(20000), nullptr);
}

// A GIF screen wider than classic readers take, holding one red image of the
// screen's size when `with_image`.
TEST_F(FullResolution, WideGifScreensAndImagesAreHeldWhole) {
  Bytes header = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0, ';'};
  PutU16(header, 6, 9000);
  PutU16(header, 8, 16);
  EXPECT_EQ(LoadWith(0, header, "screen.gif")->width, 64) << "the placeholder";
  EXPECT_EQ(LoadWith(1, header, "screen.gif")->width, 9000);

  if (!HavePeerTool("convert")) GTEST_SKIP() << "imagemagick";
  const std::string gif = files_.File("wide.gif");
  ASSERT_EQ(RunCommand("convert -size 9000x2 xc:red " + ShellQuote(gif)), 0);
  const auto whole = LoadFileWith(1, gif);
  ASSERT_EQ(whole->width, 9000);
  LogPalette palette;
  whole->GetPalette(palette, nullptr);
  const PaletteEntry last = palette.entries[whole->Row(1)[8999]];
  EXPECT_EQ(last.red, 255);
  EXPECT_EQ(last.green, 0);
}

TEST_F(FullResolution, BitmapsPastOneGibibyteAreHalved) {
  // 32768 x 10923 x 3 bytes is just over 1 GiB: held at 16384 x 5461. The
  // file ends after its header, where the reader stops, so the fresh pages
  // of the bitmap are never touched.
  const auto capped = LoadWith(1, BitmapHeaderOnly(32768, 10923), "big.bmp");
  EXPECT_EQ(capped->width, 16384);
  EXPECT_EQ(capped->height, 5461);
  EXPECT_EQ(capped->reduction, 2);
  EXPECT_EQ(capped->GetBytesPerPixel(), 3);
}

// A 24-bit picture wider than classic rows can hold, saved in every format
// and read back: whole with FullResolution, halved without it.
TEST_F(FullResolution, WidePictureSavesInEveryFormatAndReadsBackWhole) {
  TImage image;
  image.Create(3000, 24, 1, 1, 3, 1, 0, TImage::RowFill::kFill, PictureLimit::kFullResolution);
  ASSERT_EQ(image.width, 3000);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      std::uint8_t* pixel = image.Row(y) + std::size_t(3) * x;
      pixel[0] = static_cast<std::uint8_t>(x);
      pixel[1] = static_cast<std::uint8_t>(x / 12);
      pixel[2] = static_cast<std::uint8_t>(y * 10);
    }
  }
  for (const char* name : {"w.bmp", "w.tga", "w.pcx", "w.tif", "w.png", "w.jpg", "w.gif"}) {
    SCOPED_TRACE(name);
    ASSERT_EQ(Save(name, image), 0);
    const auto whole = LoadFileWith(1, files_.File(name));
    EXPECT_EQ(whole->width, 3000);
    EXPECT_EQ(whole->height, 24);
    const std::string extension = std::string(name).substr(2);
    if (extension == "bmp" || extension == "tga" || extension == "tif" || extension == "png") {
      EXPECT_EQ(MaxDifference(PictureRgb(*whole), PictureRgb(image)), 0);
    }
    // GIF and 256-colour PCX rows are 3000 bytes: they fit either way.
    const int classic_width = extension == "gif" || extension == "pcx" ? 3000 : 1500;
    EXPECT_EQ(LoadFileWith(0, files_.File(name))->width, classic_width);
  }
}

}  // namespace

namespace {

std::string Zpicture() {
  return std::string(ZENTROPE_TOOLS_DIR) + "/zpicture";
}

class PictureInfo : public pcx_tga_test::FormatTest {
 protected:
  void SetUp() override {
    FormatTest::SetUp();
    if (access(Zpicture().c_str(), X_OK) != 0) GTEST_SKIP() << "zpicture not built";
  }
  std::string Info(const std::string& path, const std::string& options) {
    return CommandOutput(ShellQuote(Zpicture()) + " info " + ShellQuote(path) + " " + options +
                         " | grep '^size'");
  }
};

TEST_F(PictureInfo, PrintsTheFullSizeWithFullResolution) {
  const std::string tga = files_.File("wide.tga");
  ASSERT_TRUE(WriteFileBytes(tga, TargaHeaderOnly(20000, 16)));
  EXPECT_EQ(Info(tga, "-FullResolution=1"), "size: 20000 x 16\n");
  EXPECT_EQ(Info(tga, "-FullResolution=1 -QuickLook=1"), "size: 2500 x 2\n");
}

TEST_F(PictureInfo, PrintsTheUprightSizeOfATurnedCameraPhoto) {
  const std::string photo = std::string(ZENTROPE_TEST_DATA) + "/jpeg/exif-orientation-6.jpg";
  EXPECT_EQ(Info(photo, ""), "size: 40 x 60\n");
  EXPECT_EQ(Info(photo, "-ExifOrientation=0"), "size: 60 x 40\n");
}

}  // namespace
