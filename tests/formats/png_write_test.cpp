// Saved PNG files decode in libpng's tools to the pixels we hold, in as few
// bits as the palette needs, with the comments; a failed save leaves no file.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "formats/png.h"
#include "png_test_support.h"

namespace {

using namespace png_test;
using format_test::PictureRgb;
using format_test::WhileCancelling;

class WritePngTest : public format_test::FormatTest {
 protected:
  // The saved file, read back by pngtopnm.
  format_test::Rgb PeerOf(const std::string& name) {
    return PeerRgb("pngtopnm " + ShellQuote(files_.File(name)), files_.File("peer.ppm"));
  }

  std::unique_ptr<TImage> image_ = std::make_unique<TImage>();
  std::unique_ptr<TImage> reloaded_ = std::make_unique<TImage>();
};

TEST_F(WritePngTest, TrueColourAndPalettePicturesDecodeToTheirPixels) {
  REQUIRE_PEER_TOOL("pngtopnm");
  pcx_tga_test::MakeColourPicture(*image_, 203, 67);
  ASSERT_EQ(Save("colour.png", *image_), 0);
  EXPECT_EQ(MaxDifference(PeerOf("colour.png"), PictureRgb(*image_)), 0);

  pcx_tga_test::MakePalettePicture(*image_, 120, 90);
  ASSERT_EQ(Save("palette.png", *image_), 0);
  EXPECT_EQ(MaxDifference(PeerOf("palette.png"), PictureRgb(*image_)), 0);
  ASSERT_EQ(LoadImage(files_.File("palette.png"), *reloaded_, settings_.get()), "png");
  EXPECT_EQ(reloaded_->GetBytesPerPixel(), 1);
  EXPECT_EQ(PictureRgb(*reloaded_).pixels, PictureRgb(*image_).pixels);
}

TEST_F(WritePngTest, AFewColoursArePackedIntoFewBits) {
  for (const int colours : {2, 3, 16, 17}) {
    SCOPED_TRACE(colours);
    image_->Create(37, 20, 1, 1, 1, 1, 0);
    LogPalette palette;
    palette.count = static_cast<std::uint16_t>(colours);
    for (int i = 0; i < colours; ++i) {
      palette.entries[i] = {static_cast<std::uint8_t>(i * 15), 9, 200, 0};
    }
    image_->SetPalette(palette);
    image_->colourCount = static_cast<std::int16_t>(colours);
    for (int y = 0; y < 20; ++y) {
      for (int x = 0; x < 37; ++x) image_->Row(y)[x] = static_cast<std::uint8_t>((x + y) % colours);
    }
    ASSERT_EQ(Save("few.png", *image_), 0);
    const Bytes file = ReadFileBytes(files_.File("few.png"));
    const int expected_depth = colours <= 2 ? 1 : colours <= 4 ? 2 : colours <= 16 ? 4 : 8;
    EXPECT_EQ(file[FindChunk(file, "IHDR") + 16], expected_depth);
    ASSERT_EQ(LoadImage(files_.File("few.png"), *reloaded_, settings_.get()), "png");
    EXPECT_EQ(MaxDifference(PictureRgb(*reloaded_), PictureRgb(*image_)), 0);
  }
}

TEST_F(WritePngTest, CommentsGoOutAndComeBack) {
  pcx_tga_test::MakeColourPicture(*image_, 16, 16);
  TCapture capture;
  capture.comments = "first line\r\nsecond line\r\n";
  ASSERT_EQ(Save("commented.png", *image_), 0);
  capture.comments = std::string(2000, 'x');  // long enough to be compressed
  ASSERT_EQ(Save("long.png", *image_), 0);

  LoadImage(files_.File("commented.png"), *reloaded_, settings_.get());
  EXPECT_EQ(capture.comments, "first line\nsecond line");
  LoadImage(files_.File("long.png"), *reloaded_, settings_.get());
  EXPECT_EQ(capture.comments, std::string(2000, 'x'));
  const Bytes file = ReadFileBytes(files_.File("long.png"));
  EXPECT_NE(FindChunk(file, "zTXt"), 0u);
}

TEST_F(WritePngTest, SaveTypeSevenWritesPngWhenTheNameHasNoExtension) {
  pcx_tga_test::MakeColourPicture(*image_, 16, 16);
  TDither dither;
  format_test::NeutralDither(dither, *image_);
  ASSERT_EQ(SaveImage(files_.File("noext"), 7, *image_, *settings_, dither, nullptr), 0);
  const Bytes file = ReadFileBytes(files_.File("noext"));
  ASSERT_GE(file.size(), 8u);
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 4), (Bytes{0x89, 'P', 'N', 'G'}));
}

TEST_F(WritePngTest, ACancelledOrFailedSaveLeavesTheOldFile) {
  pcx_tga_test::MakeColourPicture(*image_, 64, 64);
  const std::string path = files_.File("kept.png");
  ASSERT_TRUE(WriteFileText(path, "old contents"));
  EXPECT_EQ(WhileCancelling([&] { return Save("kept.png", *image_); }), 1);
  EXPECT_EQ(ReadFileText(path), "old contents");
  EXPECT_EQ(Save("missing-folder/new.png", *image_), 1);
}

}  // namespace
