// PCX and Targa files written by ImageMagick and netpbm load to the pixels the
// peers decode, and the files we write decode in ImageMagick to our pixels.
//
// Known faults of the oracle: ImageMagick 6 shows 1-bit PCX inverted (netpbm's
// pcxtoppm is the reference there) and ignores the Targa origin bit, so its
// reference is taken with -auto-orient and bottom-up files are made with -flip.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "pcx_tga_support.h"
#include "support/peer_tools.h"

namespace {

using pcx_tga_test::Bytes;
using pcx_tga_test::FormatTest;

using format_test::ParsePnm;
using format_test::PictureRgb;
using format_test::Rgb;

class PeerOracle : public FormatTest {
 protected:
  // The source: 48 x 36 with smooth areas, edges and many colours, and
  // reductions of it made by ImageMagick.
  void SetUp() override {
    FormatTest::SetUp();
    Bytes ppm;
    const std::string head = "P6\n48 36\n255\n";
    ppm.assign(head.begin(), head.end());
    for (int y = 0; y < 36; ++y) {
      for (int x = 0; x < 48; ++x) {
        ppm.push_back(static_cast<std::uint8_t>(x * 5));
        ppm.push_back(static_cast<std::uint8_t>(y * 7));
        ppm.push_back(static_cast<std::uint8_t>(x < 24 ? 200 : (x * y) & 0xFF));
      }
    }
    ASSERT_TRUE(WriteFileBytes(Path("src.ppm"), ppm));
    Run("convert src.ppm -colors 200 +dither p200.ppm");
    Run("convert src.ppm -colors 16 +dither p16.ppm");
    Run("convert src.ppm -colors 4 +dither p4.ppm");
    Run("convert src.ppm -colorspace gray -depth 8 grey.pgm");
    Run("convert src.ppm -monochrome bilevel.pbm");
  }

  std::string Path(const std::string& name) const { return files_.File(name); }

  void Run(const std::string& command) {
    ASSERT_EQ(RunCommand("cd " + ShellQuote(files_.path()) + " && " + command + " 2>/dev/null"), 0)
        << command;
  }

  Rgb Reference(const std::string& name, const std::string& decoder = "imagemagick") {
    const std::string out = name + ".ref.ppm";
    if (decoder == "pcxtoppm") {
      Run("pcxtoppm " + name + " > " + out);
    } else {
      Run("convert " + name + " -auto-orient -alpha off -depth 8 ppm:" + out);
    }
    return ParsePnm(ReadFileBytes(Path(out)));
  }

  Rgb Ours(const std::string& name, const std::string& format) {
    TImage image;
    EXPECT_EQ(LoadImage(Path(name), image, nullptr), format) << name;
    return PictureRgb(image);
  }

  void ExpectSamePixels(const std::string& name, const std::string& format,
                        const std::string& decoder = "imagemagick") {
    const Rgb reference = Reference(name, decoder);
    const Rgb ours = Ours(name, format);
    ASSERT_GT(reference.width, 0) << name;
    EXPECT_EQ(ours.width, reference.width) << name;
    EXPECT_EQ(ours.height, reference.height) << name;
    EXPECT_TRUE(ours.pixels == reference.pixels) << name << " differs from the peer's decode";
  }
};

TEST_F(PeerOracle, PcxVariantsOfThePeersLoadToTheirPixels) {
  REQUIRE_PEER_TOOL("convert");
  REQUIRE_PEER_TOOL("ppmtopcx");
  Run("ppmtopcx -24bit src.ppm > planes24.pcx");
  Run("ppmtopcx -8bit p200.ppm > colours256.pcx");
  Run("ppmtopcx -planes 4 p16.ppm > planes16.pcx");
  Run("ppmtopcx -packed p16.ppm > packed4.pcx");
  Run("ppmtopcx -packed p4.ppm > packed2.pcx");
  Run("convert p200.ppm -type Palette pcx:magick256.pcx");
  Run("convert src.ppm -type TrueColor pcx:magick24.pcx");
  for (const char* name : {"planes24.pcx", "colours256.pcx", "planes16.pcx", "packed4.pcx",
                           "packed2.pcx", "magick256.pcx", "magick24.pcx"}) {
    ExpectSamePixels(name, "pcx");
  }
  Run("ppmtopcx bilevel.pbm > bilevel.pcx");
  ExpectSamePixels("bilevel.pcx", "pcx", "pcxtoppm");
}

TEST_F(PeerOracle, TargaVariantsOfThePeersLoadToTheirPixels) {
  REQUIRE_PEER_TOOL("convert");
  REQUIRE_PEER_TOOL("ppmtotga");
  Run("ppmtotga -cmap p200.ppm > mapped-rle.tga");
  Run("ppmtotga -cmap -norle p200.ppm > mapped.tga");
  Run("ppmtotga -rgb src.ppm > colour-rle.tga");
  Run("ppmtotga -rgb -norle src.ppm > colour.tga");
  Run("ppmtotga -mono grey.pgm > grey-rle.tga");
  Run("ppmtotga -mono -norle grey.pgm > grey.tga");
  Run("convert src.ppm -flip -compress RLE tga:magick-rle.tga");
  Run("convert p200.ppm -flip -type Palette tga:magick-mapped.tga");
  Run("convert src.ppm -orient TopLeft tga:magick-top.tga");
  Run("convert src.ppm -alpha on -type TrueColorAlpha tga:magick32.tga");
  for (const char* name :
       {"mapped-rle.tga", "mapped.tga", "colour-rle.tga", "colour.tga", "grey-rle.tga", "grey.tga",
        "magick-rle.tga", "magick-mapped.tga", "magick-top.tga", "magick32.tga"}) {
    ExpectSamePixels(name, "tga");
  }
}

// No peer writes 16-bit Targa; ours is built here. ImageMagick widens 5-bit
// channels to the full range while we multiply by 8, so the two differ by at
// most 7 per channel.
TEST_F(PeerOracle, SixteenBitTargaMatchesWithinTheWideningDifference) {
  REQUIRE_PEER_TOOL("convert");
  Bytes file(18, 0);
  file[2] = 2;
  file[12] = 32;
  file[14] = 16;
  file[16] = 16;
  for (int i = 0; i < 32 * 16; ++i) {
    const int value = (i * 37) & 0x7FFF;
    file.push_back(static_cast<std::uint8_t>(value));
    file.push_back(static_cast<std::uint8_t>(value >> 8));
  }
  ASSERT_TRUE(WriteFileBytes(Path("sixteen.tga"), file));
  const Rgb reference = Reference("sixteen.tga");
  const Rgb ours = Ours("sixteen.tga", "tga");
  ASSERT_EQ(ours.pixels.size(), reference.pixels.size());
  for (std::size_t i = 0; i < ours.pixels.size(); ++i) {
    EXPECT_LE(reference.pixels[i] - ours.pixels[i], 7) << i;
    EXPECT_GE(reference.pixels[i] - ours.pixels[i], 0) << i;
  }
}

TEST_F(PeerOracle, FilesWeWriteDecodeInImageMagickToOurPixels) {
  REQUIRE_PEER_TOOL("convert");
  TImage palette;
  pcx_tga_test::MakePalettePicture(palette, 41, 30);
  TImage colour;
  pcx_tga_test::MakeColourPicture(colour, 120, 50);
  ASSERT_EQ(Save("palette.pcx", palette), 0);
  ASSERT_EQ(Save("colour.pcx", colour), 0);
  ASSERT_EQ(Save("palette.tga", palette), 0);
  ASSERT_EQ(Save("colour.tga", colour), 0);

  for (const char* name : {"palette.pcx", "colour.pcx", "palette.tga", "colour.tga"}) {
    ExpectSamePixels(name, std::string(name).substr(std::string(name).size() - 3));
  }
  // Palette pictures and 24-bit Targa keep their pixels exactly.
  EXPECT_EQ(Reference("palette.pcx").pixels, PictureToRgb(palette));
  EXPECT_EQ(Reference("palette.tga").pixels, PictureToRgb(palette));
  EXPECT_EQ(Reference("colour.tga").pixels, PictureToRgb(colour));
}

}  // namespace
