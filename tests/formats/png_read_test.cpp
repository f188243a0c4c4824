// PNG files load like libpng's own tools decode them, whatever their colour
// type, depth and interlace; damaged files keep what could be read and say why.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "archive/input_stream.h"
#include "formats/png.h"
#include "png_test_support.h"

namespace {

using namespace png_test;
using format_test::PictureRgb;
using format_test::WhileCancelling;

constexpr PaletteEntry kBackground{10, 200, 30, 0};
constexpr const char* kPeerBackground = "-background=rgb:0a/c8/1e";

class ReadPngTest : public format_test::FormatTest {
 protected:
  void SetUp() override {
    FormatTest::SetUp();
    settings_->Set(IntKey::BackgroundRed, kBackground.red);
    settings_->Set(IntKey::BackgroundGreen, kBackground.green);
    settings_->Set(IntKey::BackgroundBlue, kBackground.blue);
  }

  LoadImageResult LoadBytes(const Bytes& bytes) {
    const std::string path = files_.File("in.png");
    EXPECT_TRUE(WriteFileBytes(path, bytes));
    return LoadImageWithStatus(path, *image_, settings_.get());
  }

  std::unique_ptr<TImage> image_ = std::make_unique<TImage>();
};

TEST_F(ReadPngTest, ImageMagickFilesDecodeLikePngtopnm) {
  REQUIRE_PEER_TOOL("convert");
  REQUIRE_PEER_TOOL("pngtopnm");
  const std::string source = "-size 97x61 -seed 3 plasma:fractal";
  const std::string variants[][2] = {
      {"palette_trns.png",
       source + " -colors 40 +dither -fill none -draw 'rectangle 10,10 40,30' PNG8:"},
      {"grey16.png", source + " -colorspace gray -depth 16 PNG:"},
      {"grey1.png", source + " -monochrome PNG:"},
      {"rgb16.png", source + " -depth 16 PNG48:"},
      {"rgba_interlaced.png",
       source + " -alpha set -channel A -fx 'i/w' +channel -interlace PNG PNG32:"},
      {"grey_alpha.png", source + " -colorspace gray -alpha set -channel A -fx 'j/h' +channel "
                                  "-define png:color-type=4 PNG:"},
  };
  for (const auto& [name, arguments] : variants) {
    SCOPED_TRACE(name);
    const std::string path = files_.File(name);
    ASSERT_EQ(RunCommand("convert " + arguments + ShellQuote(path)), 0);
    const auto peer = PeerRgb("pngtopnm -mix " + std::string(kPeerBackground) + " " +
                                  ShellQuote(path) + " | pnmdepth 255",
                              files_.File("peer.pnm"));
    ASSERT_EQ(LoadImage(path, *image_, settings_.get()), "png");
    // 16-bit samples and alpha are rounded by different formulas.
    EXPECT_LE(MaxDifference(PictureRgb(*image_), peer), 1);
  }
}

// The fixtures seed the fuzz target, so they must stay whole, readable files.
TEST_F(ReadPngTest, EveryFixtureLoadsWithoutComplaint) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(ZENTROPE_TEST_DATA "/png")) {
    SCOPED_TRACE(entry.path().string());
    TCapture capture;
    const LoadImageResult result = LoadImageWithStatus(entry.path(), *image_, settings_.get());
    EXPECT_EQ(result.format, "png");
    EXPECT_EQ(result.status, LoadStatus::kLoaded);
    EXPECT_EQ(image_->width, 32);
    EXPECT_TRUE(capture.lines.empty());
    ++count;
  }
  EXPECT_GE(count, 8);
}

TEST_F(ReadPngTest, PaletteTransparencyComposesEntriesOverTheBackground) {
  PngSpec spec = Spec(4, 2, PNG_COLOR_TYPE_PALETTE, 2);
  spec.palette = {{200, 0, 0}, {0, 0, 255}, {250, 250, 250}};
  spec.alphas = {255, 0, 128};
  spec.samples = {0b00011000, 0b01000000};  // 0 1 2 0 / 1 0 0 0
  ASSERT_EQ(LoadBytes(MakePng(spec)).status, LoadStatus::kLoaded);
  ASSERT_EQ(image_->GetBytesPerPixel(), 1);
  EXPECT_EQ(image_->Row(0)[1], 1);
  LogPalette palette;
  image_->GetPalette(palette, nullptr);
  EXPECT_EQ(palette.entries[0], (PaletteEntry{200, 0, 0, 0}));
  EXPECT_EQ(palette.entries[1], kBackground);
  EXPECT_EQ(palette.entries[2], (PaletteEntry{130, 225, 140, 0}));
}

TEST_F(ReadPngTest, TheTransparentGreyLevelShowsTheBackground) {
  for (const int depth : {2, 8, 16}) {
    SCOPED_TRACE(depth);
    PngSpec spec = Spec(3, 1, PNG_COLOR_TYPE_GRAY, depth);
    spec.has_trans_colour = true;
    Bytes expected = {76, 76, 76, 10, 200, 30, 78, 78, 78};
    if (depth == 2) {
      spec.trans_colour.gray = 1;  // level 85 of 0, 85, 170, 255
      spec.samples = {0b00011000};
      expected = {0, 0, 0, 10, 200, 30, 170, 170, 170};
    } else if (depth == 8) {
      spec.trans_colour.gray = 77;
      spec.samples = {76, 77, 78};
    } else {
      spec.trans_colour.gray = 0x4D80;
      spec.samples = {0x4C, 0x00, 0x4D, 0x80, 0x4E, 0x00};
    }
    ASSERT_EQ(LoadBytes(MakePng(spec)).status, LoadStatus::kLoaded);
    const Bytes rgb = PictureRgb(*image_).pixels;
    EXPECT_EQ(Bytes(rgb.begin(), rgb.begin() + 9), expected);
  }
}

TEST_F(ReadPngTest, TextChunksBeforeAndAfterThePictureReachTheComments) {
  PngSpec spec = Spec(2, 2, PNG_COLOR_TYPE_GRAY, 8);
  spec.samples = {1, 2, 3, 4};
  spec.texts = {{"Comment", "plain words"},
                {"Title", "packed words", PNG_TEXT_COMPRESSION_zTXt},
                {"Author", "international words", PNG_ITXT_COMPRESSION_NONE}};
  spec.trailing_texts = {{"Software", "written late"}};
  TCapture capture;
  LoadBytes(MakePng(spec));
  EXPECT_EQ(capture.comments,
            "plain words\r\nTitle: packed words\r\nAuthor: international words\r\n"
            "Software: written late");
}

// Every 8th pixel of every 8th row, also when interlaced rows are gathered
// aside and when alpha is composed on the way.
TEST_F(ReadPngTest, QuickLookKeepsEveryEighthPixelOfEveryKind) {
  settings_->Set(IntKey::QuickLook, 1);
  for (const bool interlaced : {false, true}) {
    for (const int colour_type : {PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_RGB}) {
      SCOPED_TRACE(std::to_string(interlaced) + " " + std::to_string(colour_type));
      const int channels = colour_type == PNG_COLOR_TYPE_RGB ? 3 : 1;
      PngSpec spec = Spec(70, 41, colour_type, 8, interlaced);
      spec.samples = Gradient(70, 41, channels);
      // A transparent colour no pixel has still sends RGB through the alpha path.
      spec.has_trans_colour = colour_type == PNG_COLOR_TYPE_RGB;
      spec.trans_colour = {0, 1, 2, 3, 0};
      ASSERT_EQ(LoadBytes(MakePng(spec)).status, LoadStatus::kLoaded);
      ASSERT_EQ(image_->width, 8);
      ASSERT_EQ(image_->height, 5);
      const Bytes rgb = PictureRgb(*image_).pixels;
      for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 8; ++x) {
          const std::size_t source = (std::size_t(8 * y) * 70 + 8 * x) * channels;
          EXPECT_EQ(rgb[3 * (y * 8 + x)], spec.samples[source]) << x << "," << y;
        }
      }
    }
  }
}

TEST_F(ReadPngTest, ATruncatedFileKeepsItsFirstRowsAndSaysWhy) {
  PngSpec spec = Spec(64, 64, PNG_COLOR_TYPE_RGB, 8);
  for (int i = 0; i < 64 * 64 * 3; ++i) spec.samples.push_back((i * 2654435761u) >> 24);
  Bytes file = MakePng(spec);
  file.resize(file.size() / 2);
  TCapture capture;
  EXPECT_EQ(LoadBytes(file).status, LoadStatus::kLoaded);
  EXPECT_EQ(capture.Count("PNG Error: The file ends before its picture data"), 1);
  ASSERT_EQ(image_->width, 64);
  EXPECT_EQ(PictureRgb(*image_).pixels[3], spec.samples[3]);
  // Rows the file did not reach are filled, not left with an earlier picture.
  EXPECT_EQ(image_->Row(63)[0], 0);
  EXPECT_EQ(image_->Row(63)[191], 0);
}

TEST_F(ReadPngTest, HostileSizesAreRefusedOrReducedWithoutOverflow) {
  PngSpec spec = Spec(8, 8, PNG_COLOR_TYPE_RGB_ALPHA, 16);
  spec.samples = Gradient(8 * 8, 8, 1);
  const Bytes small = MakePng(spec);
  {
    Bytes file = small;
    SetHeaderSize(file, 2000000, 3);
    TCapture capture;
    EXPECT_EQ(LoadBytes(file).status, LoadStatus::kRefused);
    EXPECT_EQ(image_->width, 64);  // the placeholder
    ASSERT_EQ(capture.lines.size(), 1u);
    EXPECT_EQ(capture.lines[0].rfind("PNG Error: ", 0), 0u);
  }
  {
    Bytes file = small;
    SetHeaderSize(file, 60000, 60000);
    TCapture capture;
    EXPECT_EQ(LoadBytes(file).status, LoadStatus::kLoaded);
    EXPECT_EQ(image_->reduction, 32);
    EXPECT_EQ(capture.lines.size(), 1u);
  }
}

TEST_F(ReadPngTest, BadChecksumsAreNamedInTheLog) {
  PngSpec spec = Spec(16, 16, PNG_COLOR_TYPE_GRAY, 8);
  spec.samples = Gradient(16, 16, 1);
  const Bytes good = MakePng(spec);
  {
    Bytes file = good;
    file[FindChunk(file, "IHDR") + 8] ^= 1;
    TCapture capture;
    EXPECT_EQ(LoadBytes(file).status, LoadStatus::kRefused);
    EXPECT_EQ(capture.Count("PNG Error: IHDR: CRC error"), 1);
  }
  {
    Bytes file = good;
    const std::size_t idat = FindChunk(file, "IDAT");
    file[idat + 8 + ((file[idat + 2] << 8) | file[idat + 3])] ^= 0x40;  // the chunk's CRC
    TCapture capture;
    LoadBytes(file);
    EXPECT_EQ(capture.Count("PNG Error: IDAT: CRC error"), 1);
  }
}

TEST_F(ReadPngTest, ACancelStopsTheRead) {
  for (const bool interlaced : {false, true}) {
    PngSpec spec = Spec(32, 32, PNG_COLOR_TYPE_RGB, 8, interlaced);
    spec.samples = Gradient(32, 32, 3);
    const Bytes file = MakePng(spec);
    EXPECT_EQ(WhileCancelling([&] { return LoadBytes(file).status; }), LoadStatus::kCancelled);
  }
}

TEST_F(ReadPngTest, APngInsideAZipOrMailTextOpens) {
  REQUIRE_PEER_TOOL("zip");
  REQUIRE_PEER_TOOL("uuencode");
  PngSpec spec = Spec(20, 10, PNG_COLOR_TYPE_RGB, 8);
  spec.samples = Gradient(20, 10, 3);
  const std::string png = files_.File("member.png");
  ASSERT_TRUE(WriteFileBytes(png, MakePng(spec)));
  ASSERT_EQ(RunCommand("cd " + ShellQuote(files_.path()) + " && zip -q archive.zip member.png"), 0);
  ASSERT_EQ(RunCommand("uuencode " + ShellQuote(png) + " member.png > " +
                       ShellQuote(files_.File("mail.uue"))),
            0);
  for (const char* name : {"archive.zip", "mail.uue"}) {
    SCOPED_TRACE(name);
    ASSERT_EQ(LoadImage(files_.File(name), *image_, settings_.get()), "png");
    EXPECT_EQ(PictureRgb(*image_).pixels, spec.samples);
  }
}

}  // namespace
