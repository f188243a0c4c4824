// Bitmaps of ImageMagick (and run-length and top-down files built here) load
// to the pixels ImageMagick decodes; the files we write decode in ImageMagick
// to the pixels we wrote.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "bmp_test_files.h"
#include "formats/bmp_format.h"
#include "gif_bmp_pictures.h"
#include "image/picture_formats.h"
#include "settings/profile.h"
#include "support/peer_tools.h"
#include "support/temp_dir.h"

namespace {

using namespace gif_bmp_test;

class BmpOracleTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterBmpFormat(); }

  void ExpectSameAsMagick(const std::string& path) {
    EXPECT_EQ(LoadImage(path, *image_, nullptr), "bmp");
    EXPECT_TRUE(SameRgb(PictureRgb(*image_), MagickRgb(path)));
  }

  TempDir dir_;
  TProfile settings_;
  TDither dither_;
  std::unique_ptr<TImage> image_ = std::make_unique<TImage>();
};

TEST_F(BmpOracleTest, ImageMagickBitmapsLoadToItsPixels) {
  REQUIRE_PEER_TOOL("convert");
  const std::string source = "-size 45x23 -seed 7 plasma:fractal ";
  const std::string variants[][2] = {
      {"1bit.bmp", "-colors 2 +dither -type palette -compress None BMP3:"},
      {"4bit.bmp", "-colors 16 +dither -type palette -compress None BMP3:"},
      {"8bit.bmp", "-colors 200 +dither -type palette -compress None BMP3:"},
      {"rle8.bmp", "-colors 200 +dither -type palette -compress RLE BMP3:"},
      {"24bit.bmp", "-type truecolor BMP3:"},
      {"core4.bmp", "-colors 16 +dither -type palette BMP2:"},
      {"core24.bmp", "-type truecolor BMP2:"},
      {"v5.bmp", "-type truecolor BMP:"},
      {"v5pal.bmp", "-colors 100 +dither -type palette -compress None BMP:"},
  };
  for (const auto& variant : variants) {
    SCOPED_TRACE(variant[0]);
    const std::string path = dir_.File(variant[0]);
    ASSERT_EQ(RunCommand("convert " + source + variant[1] + ShellQuote(path)), 0);
    ExpectSameAsMagick(path);
  }
}

TEST_F(BmpOracleTest, RunLengthFourAndTopDownFilesBuiltHereLoadLikeImageMagick) {
  REQUIRE_PEER_TOOL("convert");
  using namespace bmp_test;
  // RLE4, 7 x 3: encoded runs, an absolute run with its pad byte, end of bitmap.
  // clang-format off
  const std::vector<std::uint8_t> rle4 = {
      7, 0x1F, 0, 0,                          // bottom row: 1 F 1 F 1 F 1
      2, 0x23, 0, 5, 0x45, 0x67, 0x80, 0,     // 2 3, then 4 5 6 7 8 in 3 bytes + pad
      0, 0,
      0, 3, 0x9A, 0xB0, 4, 0xCC, 0, 0,        // top row: 9 A B, then C C C C
      0, 1};
  // clang-format on
  const std::string rle_path = dir_.File("rle4.bmp");
  WriteFileBytes(rle_path, File(Info({40, 7, 3, 4, 2, 16}), Table(16), rle4));
  ExpectSameAsMagick(rle_path);

  // Top-down 24 bits: the rows of a bottom-up file in the other order.
  std::vector<std::uint8_t> rows;
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 3; ++x)
      rows.insert(rows.end(), {std::uint8_t(40 * y), std::uint8_t(70 * x), 200});
    rows.insert(rows.end(), {0, 0, 0});
  }
  const std::string top_down = dir_.File("topdown.bmp");
  WriteFileBytes(top_down, File(Info({40, 3, -5, 24, 0, 0}), {}, rows));
  ExpectSameAsMagick(top_down);
}

TEST_F(BmpOracleTest, WrittenBitmapsDecodeInImageMagickToThePixelsWritten) {
  REQUIRE_PEER_TOOL("convert");
  const std::string path = dir_.File("ours.bmp");
  MakePalettePicture(*image_, 203, 97, 256);
  NeutralDither(dither_, *image_);
  ASSERT_EQ(WriteBmp(path, *image_, settings_, dither_, nullptr), 0);
  EXPECT_TRUE(SameRgb(PictureRgb(*image_), MagickRgb(path)));

  MakeColourPicture(*image_, 211, 101);
  NeutralDither(dither_, *image_);
  ASSERT_EQ(WriteBmp(path, *image_, settings_, dither_, nullptr), 0);
  EXPECT_TRUE(SameRgb(PictureRgb(*image_), MagickRgb(path)));
}

}  // namespace
