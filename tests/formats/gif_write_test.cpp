#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "formats/gif_format.h"
#include "gif_bmp_pictures.h"
#include "image/picture_formats.h"
#include "platform/log_sink.h"
#include "settings/profile.h"
#include "support/temp_dir.h"

namespace {

using namespace gif_bmp_test;

class FixedComments : public CommentSink {
 public:
  explicit FixedComments(std::string text) : text_(std::move(text)) {}
  void AppendCommentChar(int) override {}
  std::string CommentText() const override { return text_; }

 private:
  std::string text_;
};

class WriteGifTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterGifFormat(); }

  int Write(TImage& image) {
    NeutralDither(dither_, image);
    return WriteGif(path_, image, settings_, dither_, nullptr);
  }
  std::vector<std::uint8_t> Written() const { return ReadFileBytes(path_); }

  TempDir dir_;
  std::string path_ = dir_.File("out.gif");
  TProfile settings_;
  TDither dither_;
  std::unique_ptr<TImage> picture_ = std::make_unique<TImage>();
  std::unique_ptr<TImage> loaded_ = std::make_unique<TImage>();
};

TEST_F(WriteGifTest, PalettePicturesRoundTripInEveryCodingAndOrder) {
  for (int colours : {2, 16, 200, 256}) {
    for (int lzw : {0, 1}) {
      for (int interlaced : {0, 1}) {
        SCOPED_TRACE(testing::Message()
                     << colours << " colours, lzw " << lzw << ", interlaced " << interlaced);
        MakePalettePicture(*picture_, 301, 77, colours);
        settings_.Set(IntKey::GIFLZWEnable, lzw);
        settings_.Set(IntKey::GIFInterlaced, interlaced);
        ASSERT_EQ(Write(*picture_), 0);
        EXPECT_EQ(LoadImage(path_, *loaded_, nullptr), "gif");
        EXPECT_TRUE(SameRgb(PictureRgb(*loaded_), PictureRgb(*picture_)));
      }
    }
  }
}

TEST_F(WriteGifTest, LargeNoisyPictureFillsTheTableAndClears) {
  // Pseudo-random indices defeat string matching, so the 4096-entry table
  // fills many times over.
  MakePalettePicture(*picture_, 640, 480, 256);
  std::uint32_t state = 12345;
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      state = state * 1103515245 + 12345;
      picture_->Row(y)[x] = static_cast<std::uint8_t>(state >> 24);
    }
  }
  ASSERT_EQ(Write(*picture_), 0);
  LoadImage(path_, *loaded_, nullptr);
  EXPECT_TRUE(SameRgb(PictureRgb(*loaded_), PictureRgb(*picture_)));
}

TEST_F(WriteGifTest, TableBitsFollowTheColourCount) {
  MakeColourPicture(*picture_, 40, 30);
  settings_.Set(IntKey::GIFColors, 2);
  ASSERT_EQ(Write(*picture_), 0);
  auto bytes = Written();
  ASSERT_GE(bytes.size(), 13u + 6 + 11);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF87a");
  EXPECT_EQ(bytes[10], 0x80);        // one table bit: 2 entries, resolution 1
  EXPECT_EQ(bytes[13 + 6], 0x2C);    // the descriptor follows the 2-entry table
  EXPECT_EQ(bytes[13 + 6 + 10], 2);  // minimum code size
  LoadImage(path_, *loaded_, nullptr);
  EXPECT_EQ(loaded_->width, 40);

  // Literal codes need b >= 7: 128 entries, those past the 16 colours black.
  settings_.Set(IntKey::GIFColors, 16);
  settings_.Set(IntKey::GIFLZWEnable, 0);
  ASSERT_EQ(Write(*picture_), 0);
  bytes = Written();
  const std::size_t table_end = 13 + 3 * 128;
  ASSERT_GE(bytes.size(), table_end + 11 + 2);
  EXPECT_EQ(bytes[10], 0x80 | 6 << 4 | 6);
  EXPECT_EQ(bytes[table_end - 1], 0);
  EXPECT_EQ(bytes[table_end + 10], 7);
  // 1200 pixels as 8-bit codes, a clear after every 126: no compression.
  const std::size_t data_size = bytes.size() - (table_end + 11) - 2;
  EXPECT_GT(data_size, 1200u + 1200u / 126);
  LoadImage(path_, *loaded_, nullptr);
  EXPECT_EQ(loaded_->height, 30);
}

TEST_F(WriteGifTest, TransparentBorderColourAndCommentExtensions) {
  MakePalettePicture(*picture_, 20, 20, 16);
  for (int i = 0; i < 20; ++i) {  // a border of index 9
    picture_->Row(0)[i] = picture_->Row(19)[i] = picture_->Row(i)[0] = picture_->Row(i)[19] = 9;
  }
  settings_.Set(IntKey::GIFTransparent, 1);
  FixedComments comments(std::string(300, 'c'));
  InstallCommentSink(&comments);
  const int result = Write(*picture_);
  InstallCommentSink(nullptr);
  ASSERT_EQ(result, 0);
  const auto bytes = Written();
  std::size_t at = 13 + 3 * 16;
  ASSERT_GE(bytes.size(), at + 5 + 300 + 8);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a");
  ASSERT_EQ(bytes[at], 0x21);
  EXPECT_EQ(bytes[at + 1], 0xFE);
  EXPECT_EQ(bytes[at + 2], 255);
  EXPECT_EQ(bytes[at + 3 + 255], 45);
  EXPECT_EQ(bytes[at + 4 + 255 + 45], 0);
  at += 5 + 300;
  const std::vector<std::uint8_t> control(bytes.begin() + static_cast<long>(at),
                                          bytes.begin() + static_cast<long>(at) + 8);
  EXPECT_EQ(control, (std::vector<std::uint8_t>{0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, 9, 0x00}));
}

TEST_F(WriteGifTest, InterlacedFlagAndOutputSize) {
  MakePalettePicture(*picture_, 400, 200, 16);
  settings_.Set(IntKey::GIFInterlaced, 1);
  settings_.Set(IntKey::OutputWidth, 100);
  ASSERT_EQ(Write(*picture_), 0);
  const auto bytes = Written();
  const std::size_t descriptor = 13 + 3 * 16;
  ASSERT_GE(bytes.size(), descriptor + 10);
  EXPECT_EQ(bytes[descriptor], 0x2C);
  EXPECT_EQ(bytes[descriptor + 5] | bytes[descriptor + 6] << 8, 100);
  EXPECT_EQ(bytes[descriptor + 7] | bytes[descriptor + 8] << 8, 50);
  EXPECT_EQ(bytes[descriptor + 9], 0x40);
}

TEST_F(WriteGifTest, FailuresAndCancelsLeaveNoFile) {
  MakePalettePicture(*picture_, 64, 64, 16);
  NeutralDither(dither_, *picture_);
  EXPECT_EQ(WriteGif(dir_.File("missing/out.gif"), *picture_, settings_, dither_, nullptr), 1);

  const int result = format_test::WhileCancelling([&] { return Write(*picture_); });
  EXPECT_EQ(result, 1);
  EXPECT_FALSE(std::filesystem::exists(path_));
  EXPECT_TRUE(std::filesystem::is_empty(dir_.path()));
}

}  // namespace
