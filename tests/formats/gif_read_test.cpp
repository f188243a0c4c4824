#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "formats/gif_format.h"
#include "gif_test_files.h"
#include "image/image.h"
#include "image/picture_formats.h"
#include "platform/log_sink.h"
#include "support/temp_dir.h"

namespace {

using gif_test::CodeWriter;
using gif_test::FileBuilder;
using gif_test::LiteralData;

class CollectComments : public CommentSink {
 public:
  void AppendCommentChar(int ch) override {
    if (ch == 0) {
      text.clear();
    } else {
      text.push_back(static_cast<char>(ch));
    }
  }
  std::string text;
};

class ReadGifTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterGifFormat(); }

  std::string Load(const std::vector<std::uint8_t>& bytes) {
    const std::string path = dir_.File("picture.gif");
    WriteFileBytes(path, bytes);
    return LoadImage(path, *image_, nullptr);
  }
  int Pixel(int x, int y) const { return image_->Row(y)[x]; }
  std::vector<int> Column(int x) const {
    std::vector<int> values;
    for (int y = 0; y < image_->height; ++y) values.push_back(Pixel(x, y));
    return values;
  }
  bool IsPlaceholder() const {
    return image_->width == 64 && image_->height == 48 && Pixel(0, 0) == 1;
  }

  TempDir dir_;
  std::unique_ptr<TImage> image_ = std::make_unique<TImage>();
};

std::vector<std::uint8_t> Repeat(const std::vector<std::uint8_t>& row_values, int width) {
  std::vector<std::uint8_t> pixels;
  for (std::uint8_t value : row_values) pixels.insert(pixels.end(), width, value);
  return pixels;
}

TEST_F(ReadGifTest, DecodesSmallestImageWithThreeBitCodes) {
  const auto bytes = FileBuilder(1, 1, 1).Image(0, 0, 1, 1, false, 2, LiteralData(2, {3})).Finish();
  EXPECT_EQ(Load(bytes), "gif");
  ASSERT_EQ(image_->width, 1);
  ASSERT_EQ(image_->height, 1);
  EXPECT_EQ(Pixel(0, 0), 3);
  LogPalette palette;
  image_->GetPalette(palette, nullptr);
  EXPECT_EQ(palette.entries[3].red, 3);
  EXPECT_EQ(palette.entries[3].green, 6);
  EXPECT_EQ(palette.entries[3].blue, 9);
}

TEST_F(ReadGifTest, InterlacedRowsLandInPassOrder) {
  // The file's k-th row carries the number of the image row it belongs to.
  const std::vector<std::uint8_t> order = {0, 8, 4, 2, 6, 1, 3, 5, 7, 9};
  const auto bytes =
      FileBuilder(4, 10, 3).Image(0, 0, 4, 10, true, 4, LiteralData(4, Repeat(order, 4))).Finish();
  Load(bytes);
  EXPECT_EQ(Column(3), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST_F(ReadGifTest, ShortInterlacedImageKeepsEveryRowInsideItsRectangle) {
  // Height 3 has no rows in pass 1: rows come as 0, 2, 1.
  const auto bytes = FileBuilder(2, 6, 3, true, 7)
                         .Image(0, 0, 2, 3, true, 4, LiteralData(4, Repeat({0, 2, 1}, 2)))
                         .Finish();
  Load(bytes);
  EXPECT_EQ(Column(1), (std::vector<int>{0, 1, 2, 7, 7, 7}));
}

TEST_F(ReadGifTest, LaterImageOverlapsEarlierOneExceptWhereTransparent) {
  std::vector<std::uint8_t> second(400, 6);
  for (int i = 0; i < 400; i += 2) second[i] = 5;  // every other pixel transparent
  const auto bytes =
      FileBuilder(30, 30, 3, true, 1)
          .Image(0, 0, 20, 20, false, 4, LiteralData(4, std::vector<std::uint8_t>(400, 2)))
          .Transparent(5)
          .Image(10, 10, 20, 20, false, 4, LiteralData(4, second))
          .Finish();
  Load(bytes);
  EXPECT_EQ(Pixel(5, 5), 2);
  EXPECT_EQ(Pixel(10, 10), 2);  // transparent pixel of the second image
  EXPECT_EQ(Pixel(11, 10), 6);
  EXPECT_EQ(Pixel(25, 25), 6);  // the second image only
  EXPECT_EQ(Pixel(24, 5), 1);   // background
  EXPECT_EQ(Pixel(5, 24), 1);
}

TEST_F(ReadGifTest, TransparencyAppliesToOneImageAndNeedsMoreThanTwoGlobalColours) {
  const auto two_colours = FileBuilder(2, 1, 0, true, 1)
                               .Transparent(0)
                               .Image(0, 0, 2, 1, false, 2, LiteralData(2, {0, 0}))
                               .Finish();
  Load(two_colours);
  EXPECT_EQ(Pixel(0, 0), 0);  // the flag is ignored with a two-entry table

  const auto once = FileBuilder(2, 2, 2, true, 1)
                        .Transparent(0)
                        .Image(0, 0, 2, 1, false, 3, LiteralData(3, {0, 0}))
                        .Image(0, 1, 2, 1, false, 3, LiteralData(3, {0, 0}))
                        .Finish();
  Load(once);
  EXPECT_EQ(Pixel(0, 0), 1);
  EXPECT_EQ(Pixel(0, 1), 0);
}

TEST_F(ReadGifTest, CommentTextGoesToTheCommentSinkWithoutZeroBytes) {
  CollectComments comments;
  InstallCommentSink(&comments);
  Load(FileBuilder(1, 1, 1)
           .Comment(std::string("Ab\0cde", 6))
           .Image(0, 0, 1, 1, false, 2, LiteralData(2, {1}))
           .Finish());
  InstallCommentSink(nullptr);
  EXPECT_EQ(comments.text, "Abcde");
}

TEST_F(ReadGifTest, WithoutGlobalTableTheColoursAreAGreyRamp) {
  Load(FileBuilder(1, 1, 2, false).Image(0, 0, 1, 1, false, 3, LiteralData(3, {0})).Finish());
  LogPalette palette;
  image_->GetPalette(palette, nullptr);
  const int expected[] = {0, 36, 72, 109, 145, 182, 218, 255};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(palette.entries[i].green, expected[i]) << i;
}

TEST_F(ReadGifTest, FullTableKeepsDecodingWithTwelveBitCodesWithoutAClear) {
  // 5000 root codes: the table fills after 3838 of them, the rest are 12-bit codes.
  CodeWriter writer(8);
  writer.Clear();
  std::vector<std::uint8_t> expected;
  for (int i = 0; i < 5000; ++i) {
    const int value = (i * 7) % 256;
    writer.Code(value);
    expected.push_back(static_cast<std::uint8_t>(value));
  }
  writer.End();
  Load(FileBuilder(100, 50, 7).Image(0, 0, 100, 50, false, 8, writer.Bytes()).Finish());
  for (int i = 0; i < 5000; ++i) ASSERT_EQ(Pixel(i % 100, i / 100), expected[i]) << i;
}

TEST_F(ReadGifTest, CodeBeyondNextFreeEndsTheReadKeepingDecodedRows) {
  CodeWriter writer(2);
  writer.Clear();
  for (int i = 0; i < 4; ++i) writer.Code(2);  // rows 0 and 1 (width 2)
  writer.Code(7);                              // "2 2", next free is 9: row 2
  writer.Code(15);                             // beyond next free
  writer.End();
  Load(FileBuilder(2, 4, 1, true, 3).Image(0, 0, 2, 4, false, 2, writer.Bytes()).Finish());
  EXPECT_EQ(Column(0), (std::vector<int>{2, 2, 2, 3}));
}

TEST_F(ReadGifTest, ZeroLengthSubBlockEndsTheImageAndTheNextImageStillLoads) {
  auto data = LiteralData(3, {4, 4, 4, 4});
  data.resize(2);  // cut before the end code; the sub-block terminator follows
  const auto bytes = FileBuilder(4, 2, 2, true, 1)
                         .Image(0, 0, 4, 1, false, 3, data)
                         .Image(0, 1, 4, 1, false, 3, LiteralData(3, {5, 5, 5, 5}))
                         .Finish();
  Load(bytes);
  EXPECT_EQ(Pixel(0, 1), 5);
}

TEST_F(ReadGifTest, HostileSizesNeverWriteOutsideTheBuffers) {
  // A screen above 8192 leaves the placeholder.
  EXPECT_EQ(Load(FileBuilder(8193, 10, 1).Finish()), "gif");
  EXPECT_TRUE(IsPlaceholder());
  // An image wider than the row buffer and a minimum code size of 12 end the read.
  Load(FileBuilder(16, 1, 1, true, 1).Image(0, 0, 9000, 1, false, 2, LiteralData(2, {0})).Finish());
  EXPECT_EQ(Pixel(0, 0), 1);
  Load(FileBuilder(16, 1, 1, true, 1).Image(0, 0, 1, 1, false, 12, {0x00, 0x10}).Finish());
  EXPECT_EQ(Pixel(0, 0), 1);
  // An image hanging off the screen is clipped.
  Load(FileBuilder(4, 4, 1, true, 1)
           .Image(3, 3, 3, 3, false, 2, LiteralData(2, std::vector<std::uint8_t>(9, 2)))
           .Finish());
  EXPECT_EQ(Pixel(3, 3), 2);
  EXPECT_EQ(Pixel(2, 3), 1);
}

TEST_F(ReadGifTest, TruncatedFileKeepsTheRowsSoFar) {
  const auto whole =
      FileBuilder(8, 8, 1, true, 3)
          .Image(0, 0, 8, 8, false, 2, LiteralData(2, std::vector<std::uint8_t>(64, 1)))
          .Finish();
  const std::vector<std::uint8_t> cut(whole.begin(), whole.end() - 12);
  Load(cut);
  EXPECT_EQ(Pixel(0, 0), 1);
  EXPECT_EQ(Pixel(7, 7), 3);
}

TEST_F(ReadGifTest, GarbageBeforeTheSignatureIsSkipped) {
  auto bytes = std::vector<std::uint8_t>(128, 'x');
  const auto gif = FileBuilder(1, 1, 1).Image(0, 0, 1, 1, false, 2, LiteralData(2, {2})).Finish();
  bytes.insert(bytes.end(), gif.begin(), gif.end());
  EXPECT_EQ(Load(bytes), "gif");
  EXPECT_EQ(Pixel(0, 0), 2);
}

}  // namespace
