// The TIFF reader against ImageMagick's decoding of files made by tiffcp and
// ImageMagick, hand-made files for the sample rules, and the writer's forms.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstring>
#include <functional>
#include <string>

#include "jpeg_tiff_support.h"
#include "tiff_test_files.h"

namespace {

using jpeg_tiff_test::Bytes;
using jpeg_tiff_test::MaxDifference;
using jpeg_tiff_test::PeerRgb;
using jpeg_tiff_test::PictureRgb;
using jpeg_tiff_test::Rgb;
using jpeg_tiff_test::TCapture;

class Tiff : public pcx_tga_test::FormatTest {
 protected:
  std::unique_ptr<TImage> LoadFile(const std::string& path) {
    auto image = std::make_unique<TImage>();
    EXPECT_EQ(LoadImage(path, *image, settings_.get()), "tif");
    return image;
  }
  Rgb Magick(const std::string& path) {
    return PeerRgb("convert " + ShellQuote(path) + " -alpha off -depth 8 ppm:-",
                   files_.File("m.ppm"));
  }
  // A strip TIFF written with libtiff: `tags` sets the fields, `row` fills each scanline.
  std::string MakeTiff(const std::string& name, const std::function<void(TIFF*)>& tags, int height,
                       const std::function<void(int, Bytes&)>& row) {
    const std::string path = files_.File(name);
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    EXPECT_NE(tiff, nullptr);
    tags(tiff);
    Bytes line(static_cast<std::size_t>(TIFFScanlineSize(tiff)));
    for (int y = 0; y < height; ++y) {
      row(y, line);
      TIFFWriteScanline(tiff, line.data(), static_cast<std::uint32_t>(y), 0);
    }
    TIFFClose(tiff);
    return path;
  }
};

void GreyTags(TIFF* tiff, int width, int height, int bits) {
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, bits);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
}

TEST_F(Tiff, PeerFilesLoadToThePixelsImageMagickDecodes) {
  REQUIRE_PEER_TOOL("convert");
  REQUIRE_PEER_TOOL("tiffcp");
  const std::string ppm = files_.File("photo.ppm");
  jpeg_tiff_test::WritePpm(ppm, jpeg_tiff_test::MakePhoto(97, 61));
  const std::string src = ShellQuote(ppm);
  struct Case {
    const char* name;
    std::string command;
    // 16-bit samples, CMYK and 16-bit ColorMap entries (ours take the high
    // byte, ImageMagick divides by 257) round differently.
    int tolerance;
  } cases[] = {
      {"none.tif", "convert " + src + " -compress none", 0},
      {"lzw.tif", "convert " + src + " -compress lzw", 0},
      {"deflate.tif", "convert " + src + " -compress zip", 0},
      {"packbits.tif", "convert " + src + " -compress rle", 0},
      {"g3.tif", "convert " + src + " -monochrome -compress fax", 0},
      {"g4.tif", "convert " + src + " -monochrome -compress group4", 0},
      {"palette4.tif", "convert " + src + " -colors 16 -type Palette -depth 4", 1},
      {"palette8.tif", "convert " + src + " -colors 200 -type Palette", 1},
      {"grey8.tif", "convert " + src + " -colorspace gray -compress lzw", 0},
      {"grey2.tif", "convert " + src + " -colorspace gray -depth 2", 0},
      {"grey16.tif", "convert " + src + " -colorspace gray -depth 16", 1},
      {"rgb16.tif", "convert " + src + " -depth 16", 1},
      {"rgba.tif", "convert " + src + " -alpha set -compress lzw", 0},
      {"ycbcr-jpeg.tif", "convert " + src + " -compress jpeg", 0},
      {"tiled.tif", "convert " + src + " -define tiff:tile-geometry=32x32", 0},
      {"cmyk.tif", "convert " + src + " -colorspace cmyk", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = files_.File(c.name);
    ASSERT_EQ(RunCommand(c.command + " " + ShellQuote(path)), 0);
    auto image = LoadFile(path);
    const int difference = MaxDifference(PictureRgb(*image), Magick(path));
    EXPECT_GE(difference, 0);
    EXPECT_LE(difference, c.tolerance);
  }
  // tiffcp's own codecs and planar separation.
  const std::string lzw = files_.File("lzw.tif");
  for (const char* options : {"-c none -p separate", "-c lzw -t", "-c zip -r 7", "-c packbits"}) {
    SCOPED_TRACE(options);
    const std::string path = files_.File("tiffcp.tif");
    ASSERT_EQ(RunCommand(std::string("tiffcp ") + options + " " + ShellQuote(lzw) + " " +
                         ShellQuote(path)),
              0);
    EXPECT_EQ(MaxDifference(PictureRgb(*LoadFile(path)), Magick(lzw)), 0);
  }
}

TEST_F(Tiff, SixteenBitSamplesScaleBetweenMinAndMaxSampleValue) {
  const std::string path = MakeTiff(
      "grey12.tif",
      [](TIFF* tiff) {
        GreyTags(tiff, 4, 1, 16);
        TIFFSetField(tiff, TIFFTAG_MAXSAMPLEVALUE, 4095);
      },
      1,
      [](int, Bytes& line) {
        const std::uint16_t samples[4] = {0, 2048, 4095, 60000};
        std::memcpy(line.data(), samples, sizeof samples);
      });
  auto image = LoadFile(path);
  ASSERT_EQ(image->width, 4);
  EXPECT_EQ(image->Row(0)[0], 0);
  EXPECT_EQ(image->Row(0)[1], 2048 * 255 / 4096);
  EXPECT_EQ(image->Row(0)[2], 254);  // 255 x 4095 / 4096
  EXPECT_EQ(image->Row(0)[3], 254);  // clamped to MaxSampleValue
  EXPECT_EQ(image->bitmap.Colour(254).green, 254);
}

TEST_F(Tiff, FewBitRgbSamplesAreScaledToFullRange) {
  const std::string path = MakeTiff(
      "rgb2.tif",
      [](TIFF* tiff) {
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, 2);
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 1);
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 2);
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
      },
      1,
      [](int, Bytes& line) {
        line[0] = 0b11100100;  // red 3, green 2, blue 1, red 0
        line[1] = 0b00110000;  // green 0, blue 3
      });
  EXPECT_EQ(pcx_tga_test::PixelAt(*LoadFile(path), 0, 0), (std::vector<int>{255, 170, 85}));
  EXPECT_EQ(pcx_tga_test::PixelAt(*LoadFile(path), 1, 0), (std::vector<int>{0, 0, 255}));
}

TEST_F(Tiff, QuickLookReadsEveryEighthScanline) {
  const std::string path = MakeTiff(
      "rows.tif", [](TIFF* tiff) { GreyTags(tiff, 640, 480, 8); }, 480,
      [](int y, Bytes& line) {
        for (std::size_t x = 0; x < line.size(); ++x) line[x] = static_cast<std::uint8_t>(y + x);
      });
  settings_->Set(IntKey::QuickLook, 1);
  auto image = LoadFile(path);
  ASSERT_EQ(image->width, 80);
  ASSERT_EQ(image->height, 60);
  EXPECT_EQ(image->Row(3)[5], static_cast<std::uint8_t>(24 + 40));
}

TEST_F(Tiff, HostileFilesLeaveThePlaceholderOrWhatWasRead) {
  // Announces 100000 x 100000 pixels and carries one row: held reduced, no
  // allocation from the announced size, stops at the missing strip.
  const std::string huge = MakeTiff(
      "huge.tif",
      [](TIFF* tiff) {
        GreyTags(tiff, 100000, 100000, 8);
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 1);
      },
      1, [](int, Bytes& line) { std::fill(line.begin(), line.end(), 9); });
  TCapture capture;
  auto image = LoadFile(huge);
  EXPECT_EQ(image->height, 100000 / image->reduction);
  EXPECT_EQ(image->Row(0)[0], 9);
  const std::string wide = MakeTiff(
      "deep.tif", [](TIFF* tiff) { GreyTags(tiff, 8, 8, 24); }, 8, [](int, Bytes&) {});
  EXPECT_EQ(LoadFile(wide)->width, 64);  // 24 bits per sample: refused
  Bytes cut = ReadFileBytes(huge);
  cut.resize(12);
  EXPECT_EQ(Load(cut, *image, "cut.tif"), "tif");
  EXPECT_EQ(image->width, 64);
  EXPECT_FALSE(capture.lines.empty());
}

TEST_F(Tiff, LibtiffWarningsReachTheLogInTheirOwnWords) {
  // One uncompressed strip whose byte count is short of its rows.
  const std::string path = files_.File("bogus.tif");
  ASSERT_TRUE(tiff_test::WriteAnnouncingTiff(path, [](TIFF* tiff) { GreyTags(tiff, 8, 4, 8); }));
  TCapture capture;
  LoadFile(path);
  EXPECT_EQ(capture.Count("TIFFReadDirectory: Warning, Bogus \"StripByteCounts\" field, ignoring "
                          "and calculating from imagelength"),
            1)
      << (capture.lines.empty() ? "" : capture.lines[0]);
}

TEST_F(Tiff, WrittenFormFollowsPaletteAndCompressionSetting) {
  struct Case {
    bool black_first;
    int colours;  // 2: bilevel grey palette
    int setting;
    int bits, photometric, compression;
  } cases[] = {{true, 2, 1, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE},
               {false, 2, 1, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_NONE},
               {true, 2, 3, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_CCITTFAX3},
               {true, 2, 2, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_CCITTRLE},
               {true, 2, 5, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE},
               {true, 256, 4, 8, PHOTOMETRIC_PALETTE, COMPRESSION_NONE},
               {true, 256, 5, 8, PHOTOMETRIC_PALETTE, COMPRESSION_LZW}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.colours << " colours, setting " << c.setting);
    auto image = std::make_unique<TImage>();
    pcx_tga_test::MakePalettePicture(*image, 50, 30);
    LogPalette palette;
    image->GetPalette(palette, nullptr);
    if (c.colours == 2) {
      palette.count = 2;
      const std::uint8_t first = c.black_first ? 0 : 255;
      palette.entries[0] = {first, first, first, 0};
      palette.entries[1] = {static_cast<std::uint8_t>(255 - first),
                            static_cast<std::uint8_t>(255 - first),
                            static_cast<std::uint8_t>(255 - first), 0};
      image->SetPalette(palette);
      for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 50; ++x) image->Row(y)[x] = (x * y + x / 3) % 2;
      }
    }
    image->colourCount = static_cast<std::int16_t>(c.colours);
    settings_->Set(IntKey::TIFFCompression, c.setting);
    ASSERT_EQ(Save("out.tif", *image), 0);
    const std::string path = files_.File("out.tif");
    const Bytes written = ReadFileBytes(path);
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written[0], 'I');
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    ASSERT_NE(tiff, nullptr);
    std::uint16_t bits = 0, photometric = 0, compression = 0;
    char* software = nullptr;
    TIFFGetField(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetField(tiff, TIFFTAG_COMPRESSION, &compression);
    TIFFGetField(tiff, TIFFTAG_SOFTWARE, &software);
    EXPECT_EQ(bits, c.bits);
    EXPECT_EQ(photometric, c.photometric);
    EXPECT_EQ(compression, c.compression);
    EXPECT_STREQ(software, "Zentrope");
    TIFFClose(tiff);
    EXPECT_EQ(MaxDifference(PictureRgb(*LoadFile(path)), PictureRgb(*image)), 0);
    if (HavePeerTool("convert")) {
      // The ColorMap holds each 8-bit value x 256, which ImageMagick divides by 257.
      const int difference = MaxDifference(Magick(path), PictureRgb(*image));
      EXPECT_GE(difference, 0);
      EXPECT_LE(difference, c.colours == 2 ? 0 : 1);
    }
    if (HavePeerTool("tiffinfo")) {
      EXPECT_EQ(CommandOutput("tiffinfo -D " + ShellQuote(path) + " 2>&1 >/dev/null"), "");
    }
  }
}

TEST_F(Tiff, ColourPictureAndCommentsRoundTrip) {
  auto image = std::make_unique<TImage>();
  pcx_tga_test::MakeColourPicture(*image, 70, 33);
  TCapture capture;
  capture.comments = "A comment\r\nwith two lines";
  settings_->Set(IntKey::TIFFCompression, 5);
  ASSERT_EQ(Save("colour.tif", *image), 0);
  capture.comments.clear();
  auto loaded = LoadFile(files_.File("colour.tif"));
  EXPECT_EQ(loaded->bytesPerPixel, 3);
  EXPECT_EQ(MaxDifference(PictureRgb(*loaded), PictureRgb(*image)), 0);
  EXPECT_EQ(capture.comments, "A comment\r\nwith two lines");
  if (HavePeerTool("convert")) {
    EXPECT_EQ(MaxDifference(Magick(files_.File("colour.tif")), PictureRgb(*image)), 0);
  }
}

TEST_F(Tiff, WriteFailuresReturnOne) {
  auto image = std::make_unique<TImage>();
  pcx_tga_test::MakeColourPicture(*image, 300, 300);
  TCapture capture;
  EXPECT_EQ(Save("missing-folder/out.tif", *image), 1);
  TDither dither;
  dither.SetSource(nullptr, false, true, kNeutralTone, kNeutralTone, false);
  EXPECT_EQ(SaveImage("/dev/full", 6, *image, *settings_, dither, nullptr), 1);
}

}  // namespace
