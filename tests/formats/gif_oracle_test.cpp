// GIF files of ImageMagick load to the pixels ImageMagick decodes, and the
// files we write decode in ImageMagick to the pixels we wrote.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "formats/gif_format.h"
#include "gif_bmp_pictures.h"
#include "image/picture_formats.h"
#include "platform/log_sink.h"
#include "settings/profile.h"
#include "support/peer_tools.h"
#include "support/temp_dir.h"

namespace {

using namespace gif_bmp_test;

class CollectComments : public CommentSink {
 public:
  void AppendCommentChar(int ch) override {
    if (ch != 0) text.push_back(static_cast<char>(ch));
  }
  std::string text;
};

class GifOracleTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterGifFormat(); }

  // Makes a file with ImageMagick from a source picture description.
  std::string Magick(const std::string& name, const std::string& arguments) {
    const std::string path = dir_.File(name);
    EXPECT_EQ(RunCommand("convert " + arguments + " " + ShellQuote(path)), 0) << arguments;
    return path;
  }

  TempDir dir_;
  TProfile settings_;
  TDither dither_;
  std::unique_ptr<TImage> image_ = std::make_unique<TImage>();
};

TEST_F(GifOracleTest, ImageMagickFilesLoadToItsPixels) {
  REQUIRE_PEER_TOOL("convert");
  const std::string source = "-size 131x67 -seed 7 plasma:fractal";
  const std::string variants[][2] = {
      {"plain89.gif", source + " -colors 200 +dither"},
      {"plain87.gif", source + " -colors 64 +dither -set filename:x x GIF87:"},
      {"interlaced.gif", source + " -colors 256 +dither -interlace GIF"},
      {"grey.gif", source + " -colorspace gray -colors 16 +dither"},
      {"two.gif", source + " -colors 2 +dither"},
      {"comment.gif", source + " -colors 32 +dither -set comment 'made by the oracle'"},
  };
  for (const auto& variant : variants) {
    SCOPED_TRACE(variant[0]);
    std::string arguments = variant[1];
    std::string path = dir_.File(variant[0]);
    if (arguments.find("GIF87:") != std::string::npos) {
      arguments.erase(arguments.find("-set"));
      ASSERT_EQ(RunCommand("convert " + arguments + " GIF87:" + ShellQuote(path)), 0);
    } else {
      path = Magick(variant[0], arguments);
    }
    EXPECT_EQ(LoadImage(path, *image_, nullptr), "gif");
    EXPECT_TRUE(SameRgb(PictureRgb(*image_), MagickRgb(path)));
  }
}

TEST_F(GifOracleTest, CommentsOfImageMagickFilesReachTheCommentSink) {
  REQUIRE_PEER_TOOL("convert");
  const std::string path = Magick("comment.gif", "-size 8x8 xc:red -set comment 'hello, oracle'");
  CollectComments comments;
  InstallCommentSink(&comments);
  LoadImage(path, *image_, nullptr);
  InstallCommentSink(nullptr);
  EXPECT_EQ(comments.text, "hello, oracle");
}

TEST_F(GifOracleTest, TransparentPixelsKeepTheBackgroundOfTheCanvas) {
  REQUIRE_PEER_TOOL("convert");
  // ImageMagick shows the transparent index's own colour; our canvas keeps
  // the background index there, which this file sets to 0 (black).
  const std::string path = Magick("transparent.gif",
                                  "-size 60x40 gradient:yellow-navy -colors 16 +dither "
                                  "-fill white -draw 'rectangle 10,10 30,30' -transparent white");
  LoadImage(path, *image_, nullptr);
  const Rgb ours = PictureRgb(*image_);
  const Rgb theirs = MagickRgb(path);
  ASSERT_EQ(ours.bytes.size(), theirs.bytes.size());
  const std::string alpha =
      CommandOutput("convert " + ShellQuote(path) + " -alpha extract -depth 8 gray:-");
  ASSERT_EQ(alpha.size(), ours.bytes.size() / 3);
  LogPalette palette;
  image_->GetPalette(palette, nullptr);
  int transparent = 0;
  for (std::size_t p = 0; p < alpha.size(); ++p) {
    if (alpha[p] == 0) {
      ++transparent;
      ASSERT_EQ(image_->Row(static_cast<int>(p) / 60)[p % 60], 0) << p;
    } else {
      for (int c = 0; c < 3; ++c) ASSERT_EQ(ours.bytes[3 * p + c], theirs.bytes[3 * p + c]) << p;
    }
  }
  EXPECT_EQ(transparent, 21 * 21);
}

TEST_F(GifOracleTest, SeveralImagesPaintOneCanvasLikeCoalesce) {
  REQUIRE_PEER_TOOL("convert");
  // The canvas keeps indices and ends with the last image's colours (here its
  // local table), so only the last image's rectangle compares with coalescing.
  const std::string path = Magick(
      "several.gif",
      "-size 50x40 -seed 3 plasma:fractal -colors 64 +dither "
      "\\( -size 20x10 gradient:red-blue -colors 8 +dither -repage +25+5 \\) "
      "\\( -size 10x30 gradient:green-white -colors 8 +dither -repage +3+8 \\) -set dispose none");
  LoadImage(path, *image_, nullptr);
  const Rgb ours = PictureRgb(*image_);
  const Rgb theirs = MagickRgb(path, "-coalesce");
  ASSERT_EQ(ours.bytes.size(), theirs.bytes.size());
  ASSERT_EQ(ours.width, 50);
  for (int y = 8; y < 38; ++y) {
    for (int x = 3; x < 13; ++x) {
      const std::size_t at = 3 * (std::size_t(y) * 50 + x);
      for (int c = 0; c < 3; ++c)
        ASSERT_EQ(ours.bytes[at + c], theirs.bytes[at + c]) << x << "," << y;
    }
  }
}

TEST_F(GifOracleTest, WrittenFilesDecodeInImageMagickToThePixelsWritten) {
  REQUIRE_PEER_TOOL("convert");
  const std::string path = dir_.File("ours.gif");
  MakePalettePicture(*image_, 203, 97, 256);
  NeutralDither(dither_, *image_);
  const Rgb palette_pixels = PictureRgb(*image_);
  for (int lzw : {0, 1}) {
    for (int interlaced : {0, 1}) {
      SCOPED_TRACE(testing::Message() << "lzw " << lzw << ", interlaced " << interlaced);
      settings_.Set(IntKey::GIFLZWEnable, lzw);
      settings_.Set(IntKey::GIFInterlaced, interlaced);
      settings_.Set(IntKey::GIFTransparent, interlaced);
      ASSERT_EQ(WriteGif(path, *image_, settings_, dither_, nullptr), 0);
      EXPECT_TRUE(SameRgb(palette_pixels, MagickRgb(path)));
    }
  }
  // A quantized 24-bit picture: ImageMagick sees what our reader sees.
  MakeColourPicture(*image_, 211, 101);
  NeutralDither(dither_, *image_);
  settings_.Set(IntKey::GIFColors, 100);
  ASSERT_EQ(WriteGif(path, *image_, settings_, dither_, nullptr), 0);
  auto loaded = std::make_unique<TImage>();
  LoadImage(path, *loaded, nullptr);
  EXPECT_TRUE(SameRgb(PictureRgb(*loaded), MagickRgb(path)));
}

}  // namespace
