#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "bmp_test_files.h"
#include "formats/bmp_format.h"
#include "image/image.h"
#include "image/picture_formats.h"
#include "support/temp_dir.h"

namespace {

using namespace bmp_test;

class ReadBmpTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterBmpFormat(); }

  std::string Load(const std::vector<std::uint8_t>& bytes) {
    const std::string path = dir_.File("picture.bmp");
    WriteFileBytes(path, bytes);
    return LoadImage(path, *image_, nullptr);
  }
  int Index(int x, int y) const { return image_->Row(y)[x]; }
  std::vector<int> Row(int y) const {
    std::vector<int> values;
    for (int x = 0; x < image_->width * image_->GetBytesPerPixel(); ++x)
      values.push_back(image_->Row(y)[x]);
    return values;
  }
  PaletteEntry Colour(int index) const {
    LogPalette palette;
    image_->GetPalette(palette, nullptr);
    return palette.entries[index];
  }
  bool IsPlaceholder() const {
    return image_->width == 64 && image_->height == 48 && Index(0, 0) == 1;
  }

  TempDir dir_;
  std::unique_ptr<TImage> image_ = std::make_unique<TImage>();
};

TEST_F(ReadBmpTest, UncompressedDepthsWithTheirRowPadding) {
  // 4 bits, colours used 0: a 16-entry table; 3 pixels take 2 bytes + 2 pad.
  Load(
      File(Info({40, 3, 2, 4, 0, 0}), Table(16), {0x12, 0x30, 0xAA, 0xAA, 0xFE, 0xD0, 0xAA, 0xAA}));
  EXPECT_EQ(Row(0), (std::vector<int>{15, 14, 13}));  // the file's last row is the top
  EXPECT_EQ(Row(1), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(Colour(15).red, 15);
  EXPECT_EQ(Colour(15).green, 240);

  // 1 bit, most significant bit first.
  Load(File(Info({40, 10, 1, 1, 0, 2}), Table(2), {0xA5, 0x40, 0, 0}));
  EXPECT_EQ(Row(0), (std::vector<int>{1, 0, 1, 0, 0, 1, 0, 1, 0, 1}));

  // 8 bits, 3 pixels: 3 bytes + 1 pad.
  Load(File(Info({40, 3, 2, 8, 0, 4}), Table(4), {1, 2, 3, 0xEE, 3, 2, 1, 0xEE}));
  EXPECT_EQ(Row(0), (std::vector<int>{3, 2, 1}));
  EXPECT_EQ(Row(1), (std::vector<int>{1, 2, 3}));

  // 24 bits, 3 pixels: 9 bytes + 3 pad, stored blue, green, red.
  std::vector<std::uint8_t> pixels;
  for (int i = 0; i < 2; ++i) {
    for (int b = 0; b < 9; ++b) pixels.push_back(static_cast<std::uint8_t>(10 * i + b));
    pixels.insert(pixels.end(), {0xEE, 0xEE, 0xEE});
  }
  Load(File(Info({40, 3, 2, 24, 0, 0}), {}, pixels));
  ASSERT_EQ(image_->GetBytesPerPixel(), 3);
  EXPECT_EQ(Row(1), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(Row(0), (std::vector<int>{10, 11, 12, 13, 14, 15, 16, 17, 18}));
}

TEST_F(ReadBmpTest, PixelDataIsTakenFromTheOffsetInTheFileHeader) {
  Load(File(Info({40, 2, 1, 8, 0, 4}), Table(4), {2, 3, 0, 0}, 37));
  EXPECT_EQ(Row(0), (std::vector<int>{2, 3}));
}

TEST_F(ReadBmpTest, RunLengthCodes) {
  // RLE8: a run of 2, an absolute run of 3 with its pad byte, end of line;
  // then a row ended early, which is completed with index 0.
  const std::vector<std::uint8_t> rle8 = {2, 7, 0, 3, 4, 5, 6, 0xFF, 0, 0,  // row 1 (bottom)
                                          1, 9, 0, 0,  // row 0, early end of line
                                          0, 1};
  Load(File(Info({40, 5, 2, 8, 1, 16}), Table(16), rle8));
  EXPECT_EQ(Row(1), (std::vector<int>{7, 7, 4, 5, 6}));
  EXPECT_EQ(Row(0), (std::vector<int>{9, 0, 0, 0, 0}));

  // RLE4: an encoded run alternates nibbles; an absolute run of 3 pixels uses
  // 2 bytes (even, no pad); end of bitmap makes every later pixel 0.
  const std::vector<std::uint8_t> rle4 = {3, 0x12, 0, 3, 0x34, 0x50, 0, 0,  // bottom row
                                          2, 0x77, 0, 1};
  Load(File(Info({40, 6, 3, 4, 2, 16}), Table(16), rle4));
  EXPECT_EQ(Row(2), (std::vector<int>{1, 2, 1, 3, 4, 5}));
  EXPECT_EQ(Row(1), (std::vector<int>{7, 7, 0, 0, 0, 0}));
  EXPECT_EQ(Row(0), (std::vector<int>{0, 0, 0, 0, 0, 0}));

  // A delta fills the skipped pixels with index 0.
  Load(File(Info({40, 4, 2, 8, 1, 16}), Table(16), {1, 5, 0, 2, 2, 0, 1, 6, 0, 0, 4, 8, 0, 1}));
  EXPECT_EQ(Row(1), (std::vector<int>{5, 0, 0, 6}));
  EXPECT_EQ(Row(0), (std::vector<int>{8, 8, 8, 8}));
}

TEST_F(ReadBmpTest, ADeltaMovesRightAndUpOverIndexZero) {
  // RLE8, 6 wide (rows of 6 bytes and 2 pad): two pixels, then a delta 1
  // right and 1 up, so the next row resumes at column 3.
  const std::vector<std::uint8_t> rle8 = {2, 1, 0, 2, 1, 1,  // bottom row
                                          3, 2, 0, 0,        // middle row from column 3
                                          6, 3, 0, 0,        // top row
                                          0, 1};
  ASSERT_EQ(Load(File(Info({40, 6, 3, 8, 1, 16}), Table(16), rle8)), "bmp");
  EXPECT_EQ(Row(2), (std::vector<int>{1, 1, 0, 0, 0, 0}));
  EXPECT_EQ(Row(1), (std::vector<int>{0, 0, 0, 2, 2, 2}));
  EXPECT_EQ(Row(0), (std::vector<int>{3, 3, 3, 3, 3, 3}));

  // RLE4, 5 wide: a delta 2 right and 2 up skips a whole row; the codes
  // after it land in the row above, from column 3.
  const std::vector<std::uint8_t> rle4 = {2, 0x45, 0,    2,    1, 2,  // bottom row: 4 5, then up 2
                                          0, 3,    0x9A, 0xB0,  // absolute 9 A B from column 3
                                          0, 0,                 // end of that row
                                          5, 0x77, 0,    1};    // top row
  ASSERT_EQ(Load(File(Info({40, 5, 4, 4, 2, 16}), Table(16), rle4)), "bmp");
  EXPECT_EQ(Row(3), (std::vector<int>{4, 5, 0, 0, 0}));
  EXPECT_EQ(Row(2), (std::vector<int>{0, 0, 0, 0, 0}));
  EXPECT_EQ(Row(1), (std::vector<int>{0, 0, 0, 9, 10}));  // B falls beyond the width
  EXPECT_EQ(Row(0), (std::vector<int>{7, 7, 7, 7, 7}));

  // A delta past the top and the right edge ends the picture without harm.
  ASSERT_EQ(Load(File(Info({40, 3, 2, 8, 1, 16}), Table(16), {1, 4, 0, 2, 255, 255, 9, 9, 0, 1})),
            "bmp");
  EXPECT_EQ(Row(1), (std::vector<int>{4, 0, 0}));
  EXPECT_EQ(Row(0), (std::vector<int>{0, 0, 0}));
}

TEST_F(ReadBmpTest, TopDownRowsAreReadTopFirst) {
  Load(File(Info({40, 2, -2, 8, 0, 4}), Table(4), {1, 1, 0, 0, 2, 2, 0, 0}));
  EXPECT_EQ(Row(0), (std::vector<int>{1, 1}));
  EXPECT_EQ(Row(1), (std::vector<int>{2, 2}));
}

TEST_F(ReadBmpTest, OlderAndNewerHeaderForms) {
  // The 12-byte core header has 3-byte table entries.
  Load(File(Info({12, 2, 1, 4, 0, 0}), Table(16, 3), {0x9A, 0, 0, 0}));
  EXPECT_EQ(Row(0), (std::vector<int>{9, 10}));
  EXPECT_EQ(Colour(10).green, 245);
  for (int size : {52, 56, 108, 124}) {
    SCOPED_TRACE(size);
    Load(File(Info({size, 2, 1, 8, 0, 3}), Table(3), {2, 1, 0, 0}));
    EXPECT_EQ(Row(0), (std::vector<int>{2, 1}));
    EXPECT_EQ(Colour(2).red, 2);
  }
}

TEST_F(ReadBmpTest, ColourTablesBeyond256EntriesKeepTheFirst256) {
  Load(File(Info({40, 2, 1, 8, 0, 300}), Table(300), {255, 1, 0, 0}));
  EXPECT_EQ(Row(0), (std::vector<int>{255, 1}));
  EXPECT_EQ(Colour(255).red, 255);
}

TEST_F(ReadBmpTest, RefusedHeadersLeaveThePlaceholder) {
  const InfoHeader refused[] = {
      {64, 2, 1, 8, 0, 0},          // unknown header size
      {40, 8193, 1, 8, 0, 0},       // too wide
      {40, 2, 8193, 8, 0, 0},       // too high
      {40, 2, 1, 48, 0, 0},         // depth
      {40, 0, 1, 8, 0, 0},          // no width
      {40, 2, -1, 8, 1, 0},         // top-down run-length codes
      {40, 2, INT32_MIN, 8, 0, 0},  // no positive counterpart
  };
  for (const InfoHeader& header : refused) {
    Load(File(Info(header), Table(256), std::vector<std::uint8_t>(64, 1)));
    EXPECT_TRUE(IsPlaceholder()) << header.header_size << " " << header.width << "x"
                                 << header.height;
  }
  // A colour table that the file does not hold.
  Load(File(Info({40, 2, 1, 8, 0, 0}), Table(10), {}));
  EXPECT_TRUE(IsPlaceholder());
}

TEST_F(ReadBmpTest, ShortFileKeepsTheRowsReadAndZeroesTheRest) {
  Load(File(Info({40, 4, 3, 8, 0, 4}), Table(4), {3, 3, 3, 3, 2, 2}));
  EXPECT_EQ(Row(2), (std::vector<int>{3, 3, 3, 3}));
  EXPECT_EQ(Row(1), (std::vector<int>{0, 0, 0, 0}));
}

TEST_F(ReadBmpTest, PackedBitmapsInMemoryStopAtTheEndOfTheBlock) {
  std::vector<std::uint8_t> packed = Info({40, 2, 3, 8, 1, 4});
  const auto table = Table(4);
  packed.insert(packed.end(), table.begin(), table.end());
  packed.insert(packed.end(), {2, 1, 0, 0, 2, 2, 0, 0});  // two rows of RLE8, then the block ends
  ReadBmpFromMemory(*image_, packed);
  ASSERT_EQ(image_->width, 2);
  EXPECT_EQ(Row(2), (std::vector<int>{1, 1}));
  EXPECT_EQ(Row(1), (std::vector<int>{2, 2}));
  EXPECT_EQ(Row(0), (std::vector<int>{0, 0}));

  // A compressed bitmap given to AdoptBitmap goes through the packed reader.
  EXPECT_TRUE(image_->AdoptBitmap(TDib::FromPacked(packed)));
  EXPECT_EQ(Row(1), (std::vector<int>{2, 2}));

  // A 24-bit packed bitmap may carry a table of colours used before its bits.
  std::vector<std::uint8_t> true_colour = Info({40, 1, 1, 24, 0, 2});
  true_colour.insert(true_colour.end(), {9, 9, 9, 0, 9, 9, 9, 0, 10, 20, 30, 0});
  ReadBmpFromMemory(*image_, true_colour);
  EXPECT_EQ(Row(0), (std::vector<int>{10, 20, 30}));
}

}  // namespace
