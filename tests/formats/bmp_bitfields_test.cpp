// Bitmaps of 16 and 32 bits per pixel: the fixed layouts of uncompressed
// files, masks after a 40-byte header, inside V4/V5 headers and in packed
// memory bitmaps load to the colours ImageMagick decodes; masks that cannot
// describe a pixel are refused with a log line.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bmp_test_files.h"
#include "formats/bmp_format.h"
#include "gif_bmp_pictures.h"
#include "image/picture_formats.h"
#include "jpeg_tiff_support.h"
#include "support/peer_tools.h"
#include "support/temp_dir.h"

namespace {

using namespace gif_bmp_test;
using namespace bmp_test;
using Bytes = std::vector<std::uint8_t>;

// ImageMagick rounds composed channels its own way: one step apart is the same.
testing::AssertionResult NearRgb(const Rgb& ours, const Rgb& theirs) {
  if (ours.width != theirs.width || ours.height != theirs.height ||
      ours.bytes.size() != theirs.bytes.size()) {
    return testing::AssertionFailure() << "sizes differ";
  }
  for (std::size_t i = 0; i < ours.bytes.size(); ++i) {
    if (std::abs(ours.bytes[i] - theirs.bytes[i]) > 1) {
      return testing::AssertionFailure()
             << "byte " << i << ": " << int(ours.bytes[i]) << " vs " << int(theirs.bytes[i]);
    }
  }
  return testing::AssertionSuccess();
}

Bytes Masks(std::initializer_list<std::uint32_t> masks) {
  Bytes out;
  for (std::uint32_t mask : masks) U32(out, mask);
  return out;
}

// A longer information header with the masks in place.
Bytes InfoWithMasks(int header_size, int width, int height, int bits,
                    std::initializer_list<std::uint32_t> masks) {
  Bytes info = Info({header_size, width, height, bits, 3, 0});
  int at = 40;
  for (std::uint32_t mask : masks) {
    for (int i = 0; i < 4; ++i) info[at + i] = static_cast<std::uint8_t>(mask >> (8 * i));
    at += 4;
  }
  return info;
}

// 5 x 3 pixels of 16 bits in 5-6-5, rows padded to 12 bytes, bottom-up.
Bytes Rows565() {
  Bytes rows;
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) U16(rows, (31u - 6 * x) << 11 | (20u * y) << 5 | (7u * x));
    U16(rows, 0);
  }
  return rows;
}

class BmpBitfieldsTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterBmpFormat(); }

  std::string Write(const std::string& name, const Bytes& bytes) {
    const std::string path = dir_.File(name);
    EXPECT_TRUE(WriteFileBytes(path, bytes));
    return path;
  }

  void ExpectSameAsMagick(const std::string& path) {
    SCOPED_TRACE(path);
    EXPECT_EQ(LoadImage(path, *image_, nullptr), "bmp");
    EXPECT_EQ(image_->GetBytesPerPixel(), 3);
    EXPECT_TRUE(SameRgb(PictureRgb(*image_), MagickRgb(path)));
  }

  // Pixels with alpha are shown over the background colour (192 grey by default).
  void ExpectComposedLikeMagick(const std::string& path) {
    SCOPED_TRACE(path);
    EXPECT_EQ(LoadImage(path, *image_, nullptr), "bmp");
    EXPECT_TRUE(
        NearRgb(PictureRgb(*image_), MagickRgb(path, "-background 'rgb(192,192,192)' -flatten")));
  }

  TempDir dir_;
  std::unique_ptr<TImage> image_ = std::make_unique<TImage>();
};

TEST_F(BmpBitfieldsTest, ImageMagickSubtypesLoadToItsPixels) {
  REQUIRE_PEER_TOOL("convert");
  const std::string source = "-size 45x23 -seed 7 plasma:fractal -type truecolor ";
  const char* subtypes[] = {"RGB565", "RGB555",   "ARGB4444", "ARGB1555",
                            "RGB24",  "XRGB8888", "ARGB8888"};
  for (const char* subtype : subtypes) {
    SCOPED_TRACE(subtype);
    const std::string path = dir_.File(std::string(subtype) + ".bmp");
    ASSERT_EQ(
        RunCommand("convert " + source + "-define bmp:subtype=" + subtype + " " + ShellQuote(path)),
        0);
    ExpectSameAsMagick(path);
  }
  // Real transparency is composed over the background, as PNG's is.
  const std::string alpha = dir_.File("alpha.bmp");
  ASSERT_EQ(RunCommand("convert " + source +
                       "-alpha set -channel A -evaluate set 40% +channel "
                       "-define bmp:subtype=ARGB8888 " +
                       ShellQuote(alpha)),
            0);
  ExpectComposedLikeMagick(alpha);
}

TEST_F(BmpBitfieldsTest, MasksAfterTheHeaderInsideItAndTheFixedLayoutsLoadLikeImageMagick) {
  REQUIRE_PEER_TOOL("convert");
  ExpectSameAsMagick(Write(
      "565.bmp", File(Info({40, 5, 3, 16, 3, 0}), Masks({0xF800, 0x07E0, 0x001F}), Rows565())));
  ExpectSameAsMagick(Write(
      "v4.bmp", File(InfoWithMasks(108, 5, 3, 16, {0xF800, 0x07E0, 0x001F, 0}), {}, Rows565())));

  // 32 bits: an uncompressed file is blue, green, red, unused; masks may put
  // the channels anywhere, here red in the low byte.
  Bytes rows32;
  for (int i = 0; i < 5 * 3; ++i) U32(rows32, 0x11000000u * (i % 3) + 0x00102030u * i);
  ExpectSameAsMagick(Write("x888.bmp", File(Info({40, 5, 3, 32, 0, 0}), {}, rows32)));
  ExpectComposedLikeMagick(
      Write("abgr.bmp",
            File(InfoWithMasks(124, 5, 3, 32, {0xFF, 0xFF00, 0xFF0000, 0xFF000000}), {}, rows32)));

  // 16 bits uncompressed are 5-5-5, with a row of one pixel padded to 4 bytes.
  Bytes rows555;
  for (int y = 0; y < 2; ++y) {
    U16(rows555, 0x7C00u >> (5 * y));
    U16(rows555, 0xEEEE);
  }
  ExpectSameAsMagick(Write("555.bmp", File(Info({40, 1, 2, 16, 0, 0}), {}, rows555)));
}

TEST_F(BmpBitfieldsTest, AlphaAllZeroIsOpaqueAndRowsBeforeTheFirstAlphaAreTransparent) {
  REQUIRE_PEER_TOOL("convert");
  const Bytes argb = InfoWithMasks(124, 5, 3, 32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000});
  // Writers that know no alpha leave the field 0 everywhere: shown as stored.
  Bytes clear;
  for (int i = 0; i < 5 * 3; ++i) U32(clear, 0x00102030u * (i + 1));
  const std::string opaque = Write("opaque.bmp", File(argb, {}, clear));
  ASSERT_EQ(LoadImage(opaque, *image_, nullptr), "bmp");
  EXPECT_TRUE(SameRgb(PictureRgb(*image_), MagickRgb(opaque, "-alpha off")));

  // The bottom row (read first) is all alpha 0 and the rows above are not: the
  // bottom row is transparent after all, bottom-up and top-down alike.
  Bytes late;
  for (int i = 0; i < 5 * 3; ++i) U32(late, (i < 5 ? 0u : 0x40000000u * (i % 4)) | 0x00306090u);
  ExpectComposedLikeMagick(Write("late.bmp", File(argb, {}, late)));
  Bytes top_down = InfoWithMasks(124, 5, -3, 32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000});
  ExpectComposedLikeMagick(Write("late-top-down.bmp", File(top_down, {}, late)));
}

TEST_F(BmpBitfieldsTest, ShortFieldsWidenToTheFullRange) {
  Bytes rows;
  U16(rows, 0xFFFF);
  U16(rows, 0x0821);  // the lowest step of each 5-6-5 field
  ReadBmpFromMemory(*image_, [&] {
    Bytes packed = Info({40, 2, 1, 16, 3, 0});
    const Bytes masks = Masks({0xF800, 0x07E0, 0x001F});
    packed.insert(packed.end(), masks.begin(), masks.end());
    packed.insert(packed.end(), rows.begin(), rows.end());
    return packed;
  }());
  ASSERT_EQ(image_->width, 2);
  const std::uint8_t* row = image_->Row(0);
  EXPECT_EQ((std::vector<int>{row[0], row[1], row[2]}), (std::vector<int>{255, 255, 255}));
  EXPECT_EQ((std::vector<int>{row[3], row[4], row[5]}), (std::vector<int>{8, 4, 8}))
      << "blue, green, red of 1/31, 1/63, 1/31";

  // Fields of 10 bits keep their top 8.
  Bytes packed = Info({40, 2, 1, 32, 3, 0});
  const Bytes wide = Masks({0x3FF00000, 0x000FFC00, 0x000003FF});
  packed.insert(packed.end(), wide.begin(), wide.end());
  U32(packed, 0x3FFu << 20 | 0x200u << 10 | 0x003u);
  U32(packed, 0x0FFu << 20 | 0x004u << 10);
  ReadBmpFromMemory(*image_, packed);
  ASSERT_EQ(image_->width, 2);
  const std::uint8_t* wide_row = image_->Row(0);
  EXPECT_EQ((std::vector<int>{wide_row[0], wide_row[1], wide_row[2], wide_row[3], wide_row[4],
                              wide_row[5]}),
            (std::vector<int>{0, 128, 255, 0, 1, 63}));
}

TEST_F(BmpBitfieldsTest, UnusableMasksAreRefusedAndLogged) {
  jpeg_tiff_test::TCapture capture;
  const struct {
    const char* why;
    Bytes info;
    Bytes masks;
  } cases[] = {
      {"overlapping", Info({40, 5, 3, 16, 3, 0}), Masks({0xF800, 0x0FE0, 0x001F})},
      {"not one run", Info({40, 5, 3, 16, 3, 0}), Masks({0xF800, 0x07E0, 0x0015})},
      {"empty", Info({40, 5, 3, 16, 3, 0}), Masks({0xF800, 0, 0x001F})},
      {"outside 16 bits", Info({40, 5, 3, 16, 3, 0}), Masks({0xF8000, 0x07E0, 0x001F})},
      {"alpha over green", InfoWithMasks(56, 5, 3, 16, {0xF800, 0x07E0, 0x001F, 0x0100}), {}},
      {"all zero in a V5 header", InfoWithMasks(124, 5, 3, 32, {0, 0, 0, 0}), {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    capture.lines.clear();
    TImage image;
    const LoadImageResult result =
        LoadImageWithStatus(Write("bad.bmp", File(c.info, c.masks, Rows565())), image, nullptr);
    EXPECT_EQ(result.status, LoadStatus::kRefused);
    EXPECT_EQ(image.width, 64) << "the placeholder";
    ASSERT_EQ(capture.lines.size(), 1u);
    EXPECT_NE(capture.lines[0].find("BMP Error: The bit-field masks (red "), std::string::npos)
        << capture.lines[0];
  }

  capture.lines.clear();
  TImage image;
  EXPECT_EQ(LoadImageWithStatus(Write("jpeg.bmp", File(Info({40, 5, 3, 32, 4, 0}), {}, Rows565())),
                                image, nullptr)
                .status,
            LoadStatus::kRefused);
  ASSERT_EQ(capture.lines.size(), 1u);
  EXPECT_EQ(capture.lines[0], "BMP Error: Compression 4 is not read at 32 bits per pixel");

  // Masks cut off by the end of the file.
  Bytes cut = File(Info({40, 5, 3, 16, 3, 0}), {}, {});
  cut.insert(cut.end(), {0x00, 0xF8, 0, 0});
  EXPECT_EQ(LoadImageWithStatus(Write("cut.bmp", cut), image, nullptr).status,
            LoadStatus::kRefused);
}

}  // namespace
