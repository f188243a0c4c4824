// Camera pictures come out upright: the Orientation of a JPEG's Exif block or
// of a TIFF directory turns the picture for the screen and every writer, the
// Rotate setting turns it further, and ExifOrientation=0 keeps it as stored.
#include "formats/exif_orientation.h"

#include <gtest/gtest.h>

#include <string>

#include "formats/writer_output.h"
#include "jpeg_tiff_support.h"
#include "tiff_test_files.h"

namespace {

using format_test::Bytes;
using format_test::Rgb;
using jpeg_tiff_test::MaxDifference;

void Put16(Bytes& out, unsigned value, bool big_endian) {
  const auto hi = static_cast<std::uint8_t>(value >> 8);
  const auto lo = static_cast<std::uint8_t>(value);
  out.insert(out.end(), big_endian ? std::initializer_list<std::uint8_t>{hi, lo}
                                   : std::initializer_list<std::uint8_t>{lo, hi});
}

void Put32(Bytes& out, std::uint32_t value, bool big_endian) {
  Put16(out, big_endian ? value >> 16 : value & 0xFFFF, big_endian);
  Put16(out, big_endian ? value & 0xFFFF : value >> 16, big_endian);
}

struct ExifEntry {
  unsigned tag = 0x0112;
  unsigned type = 3;
  std::uint32_t count = 1;
  unsigned value = 1;
};

// "Exif\0\0", a TIFF header and one directory of `entries` that claims
// `claimed` entries (the real count when negative).
Bytes ExifBlock(const std::vector<ExifEntry>& entries, bool big_endian = false,
                std::uint32_t directory = 8, int claimed = -1) {
  Bytes out = {'E', 'x', 'i', 'f', 0, 0};
  out.insert(out.end(), big_endian ? std::initializer_list<std::uint8_t>{'M', 'M'}
                                   : std::initializer_list<std::uint8_t>{'I', 'I'});
  Put16(out, 42, big_endian);
  Put32(out, directory, big_endian);
  Put16(out, claimed < 0 ? static_cast<unsigned>(entries.size()) : static_cast<unsigned>(claimed),
        big_endian);
  for (const ExifEntry& entry : entries) {
    Put16(out, entry.tag, big_endian);
    Put16(out, entry.type, big_endian);
    Put32(out, entry.count, big_endian);
    Put16(out, entry.value, big_endian);
    Put16(out, 0, big_endian);
  }
  Put32(out, 0, big_endian);
  return out;
}

// A maker tag first, as cameras write it, then the orientation.
Bytes CameraBlock(unsigned orientation, bool big_endian = false) {
  return ExifBlock({{0x010F, 2, 4, 0x5A65}, {0x0112, 3, 1, orientation}}, big_endian);
}

TEST(ReadExifOrientation, FindsTheTagInEitherByteOrder) {
  for (unsigned value = 1; value <= 8; ++value) {
    EXPECT_EQ(ReadExifOrientation(CameraBlock(value)), int(value));
    EXPECT_EQ(ReadExifOrientation(CameraBlock(value, true)), int(value));
  }
}

TEST(ReadExifOrientation, HostileBlocksGiveNoOrientation) {
  const Bytes good = CameraBlock(6);
  EXPECT_EQ(ReadExifOrientation({}), 0);
  for (std::size_t cut = 0; cut < good.size() - 4; ++cut) {
    // Cut inside the orientation entry or before: nothing is read past the end.
    const Bytes shorter(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_EQ(ReadExifOrientation(shorter), cut >= 6 + 8 + 2 + 24 ? 6 : 0) << cut;
  }
  Bytes not_exif = good;
  not_exif[0] = 'X';
  EXPECT_EQ(ReadExifOrientation(not_exif), 0);
  Bytes bad_order = good;
  bad_order[6] = 'I';
  bad_order[7] = 'M';
  EXPECT_EQ(ReadExifOrientation(bad_order), 0);
  Bytes bad_magic = good;
  bad_magic[8] = 43;
  EXPECT_EQ(ReadExifOrientation(bad_magic), 0);

  EXPECT_EQ(ReadExifOrientation(ExifBlock({{}}, false, 0xFFFFFFFF)), 0) << "directory far away";
  EXPECT_EQ(ReadExifOrientation(ExifBlock({{}}, false, 0xFFFFFFFE)), 0) << "offset wraps";
  EXPECT_EQ(ReadExifOrientation(ExifBlock({{}}, false, 4)), 0) << "directory inside the header";
  EXPECT_EQ(ReadExifOrientation(ExifBlock({{0x0112, 3, 1, 3}}, false, 8, 0xFFFF)), 3)
      << "a count beyond the block reads only the entries present";
  EXPECT_EQ(ReadExifOrientation(ExifBlock({{0x0100, 3, 1, 3}}, false, 8, 0xFFFF)), 0);

  EXPECT_EQ(ReadExifOrientation(ExifBlock({{0x0112, 4, 1, 6}})), 0) << "not a SHORT";
  EXPECT_EQ(ReadExifOrientation(ExifBlock({{0x0112, 3, 2, 6}})), 0) << "two values";
  EXPECT_EQ(ReadExifOrientation(ExifBlock({{0x0112, 3, 1, 0}})), 0);
  EXPECT_EQ(ReadExifOrientation(ExifBlock({{0x0112, 3, 1, 9}})), 0);
}

// The picture as a writer would put it out: through the view, with Rotate.
Rgb ShownRgb(TImage& image, const TProfile& settings) {
  SetWriterOutputSize(image, settings);
  const ImageBounds bounds = image.GetOutputRect();
  Rgb rgb{bounds.right - bounds.left, bounds.bottom - bounds.top, {}};
  LogPalette palette;
  image.GetPalette(palette, nullptr);
  Bytes row(std::size_t(3) * rgb.width);
  for (int y = bounds.top; y < bounds.bottom; ++y) {
    image.GetOutputRow(bounds.left, y, row.data(), rgb.width);
    for (int x = 0; x < rgb.width; ++x) {
      if (image.GetBytesPerPixel() == 3) {
        rgb.pixels.insert(rgb.pixels.end(), {row[3 * x + 2], row[3 * x + 1], row[3 * x]});
      } else {
        const PaletteEntry& c = palette.entries[row[x]];
        rgb.pixels.insert(rgb.pixels.end(), {c.red, c.green, c.blue});
      }
    }
  }
  return rgb;
}

class ExifOrientationTest : public format_test::FormatTest {
 protected:
  // A 48 x 32 JPEG of ImageMagick, full colour resolution, with `block`
  // inserted as APP1 right after the start of image.
  std::string CameraJpeg(const std::string& name, const Bytes& block) {
    const std::string plain = files_.File("plain.jpg");
    if (!HavePeerTool("convert")) return {};
    EXPECT_EQ(RunCommand("convert -size 48x32 -seed 3 plasma:fractal -sampling-factor 1x1 "
                         "-quality 95 " +
                         ShellQuote(plain)),
              0);
    Bytes jpeg = ReadFileBytes(plain);
    Bytes marked(jpeg.begin(), jpeg.begin() + 2);
    const std::size_t length = block.size() + 2;
    marked.insert(marked.end(), {0xFF, 0xE1, std::uint8_t(length >> 8), std::uint8_t(length)});
    marked.insert(marked.end(), block.begin(), block.end());
    marked.insert(marked.end(), jpeg.begin() + 2, jpeg.end());
    const std::string path = files_.File(name);
    EXPECT_TRUE(WriteFileBytes(path, marked));
    return path;
  }

  Rgb MagickUpright(const std::string& path, const std::string& more = "") {
    return jpeg_tiff_test::PeerRgb(
        "convert " + ShellQuote(path) + " -auto-orient " + more + " ppm:-", files_.File("m.ppm"));
  }
};

TEST_F(ExifOrientationTest, EveryJpegOrientationIsShownAsImageMagickTurnsIt) {
  REQUIRE_PEER_TOOL("convert");
  settings_->Set(IntKey::JPEGPixelSmoothing, 1);
  for (unsigned value = 1; value <= 8; ++value) {
    SCOPED_TRACE(value);
    const std::string path =
        CameraJpeg("o" + std::to_string(value) + ".jpg", CameraBlock(value, value % 2 == 0));
    TImage image;
    ASSERT_EQ(LoadImage(path, image, settings_.get()), "jpg");
    EXPECT_EQ(image.width, 48) << "the stored picture stays as the file has it";
    const Rgb shown = ShownRgb(image, *settings_);
    const int difference = MaxDifference(shown, MagickUpright(path));
    EXPECT_GE(difference, 0) << shown.width << " x " << shown.height;
    EXPECT_LE(difference, 6);
  }
}

TEST_F(ExifOrientationTest, RotateTurnsTheUprightPictureFurther) {
  REQUIRE_PEER_TOOL("convert");
  settings_->Set(IntKey::JPEGPixelSmoothing, 1);
  const std::string path = CameraJpeg("phone.jpg", CameraBlock(6));
  TImage image;
  ASSERT_EQ(LoadImage(path, image, settings_.get()), "jpg");
  const struct {
    int rotate;
    const char* magick;
  } cases[] = {{3, "-rotate 90"}, {2, "-flop"}, {4, "-flip"}, {6, "-rotate 180"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rotate);
    settings_->Set(IntKey::Rotate, c.rotate);
    const int difference =
        MaxDifference(ShownRgb(image, *settings_), MagickUpright(path, c.magick));
    EXPECT_GE(difference, 0);
    EXPECT_LE(difference, 6);
  }
}

TEST_F(ExifOrientationTest, OffLeavesThePictureAsStored) {
  REQUIRE_PEER_TOOL("convert");
  settings_->Set(IntKey::JPEGPixelSmoothing, 1);
  settings_->Set(IntKey::ExifOrientation, 0);
  const std::string path = CameraJpeg("phone.jpg", CameraBlock(6));
  TImage image;
  ASSERT_EQ(LoadImage(path, image, settings_.get()), "jpg");
  const Rgb stored =
      jpeg_tiff_test::PeerRgb("convert " + ShellQuote(path) + " ppm:-", files_.File("m.ppm"));
  EXPECT_LE(MaxDifference(ShownRgb(image, *settings_), stored), 6);
  EXPECT_GE(MaxDifference(ShownRgb(image, *settings_), stored), 0);
}

TEST_F(ExifOrientationTest, ConvertedPhoneJpegIsUprightAndTheNextPictureIsNot) {
  REQUIRE_PEER_TOOL("convert");
  const std::string path = CameraJpeg("phone.jpg", CameraBlock(6));
  auto image = std::make_unique<TImage>();
  ASSERT_EQ(LoadImage(path, *image, settings_.get()), "jpg");
  ASSERT_EQ(Save("upright.bmp", *image), 0);
  TImage saved;
  ASSERT_EQ(LoadImage(files_.File("upright.bmp"), saved, settings_.get()), "bmp");
  EXPECT_EQ(saved.width, 32);
  EXPECT_EQ(saved.height, 48);
  EXPECT_EQ(saved.uprightOrientation, 0);

  // A picture without a tag loaded into the same record is not turned.
  ASSERT_EQ(LoadImage(CameraJpeg("plain.jpg", {}), *image, settings_.get()), "jpg");
  EXPECT_EQ(image->uprightOrientation, 0);
}

// A 24 x 16 RGB TIFF with the Orientation tag, its samples interleaved or
// in separate planes (which libtiff's RGBA conversion reads).
std::string OrientedTiff(const std::string& path, unsigned orientation, bool planes) {
  TIFF* tiff = TIFFOpen(path.c_str(), "w");
  if (tiff == nullptr) return {};
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, 24);
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 16);
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
  TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, planes ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
  TIFFSetField(tiff, TIFFTAG_ORIENTATION, orientation);
  auto sample = [](int x, int y, int s) {
    const int values[] = {x * 10, y * 15, x * y};
    return static_cast<std::uint8_t>(values[s]);
  };
  bool written = true;
  for (int s = 0; s < (planes ? 3 : 1) && written; ++s) {
    for (int y = 0; y < 16 && written; ++y) {
      Bytes line;
      for (int x = 0; x < 24; ++x) {
        if (planes) {
          line.push_back(sample(x, y, s));
        } else {
          line.insert(line.end(), {sample(x, y, 0), sample(x, y, 1), sample(x, y, 2)});
        }
      }
      written = TIFFWriteScanline(tiff, line.data(), std::uint32_t(y), std::uint16_t(s)) >= 0;
    }
  }
  TIFFClose(tiff);
  return written ? path : std::string();
}

TEST_F(ExifOrientationTest, TiffsTurnByTheirOrientationTagAlsoThroughLibtiffsConversion) {
  REQUIRE_PEER_TOOL("convert");
  for (unsigned value = 1; value <= 8; ++value) {
    SCOPED_TRACE(value);
    const std::string path = OrientedTiff(files_.File("o.tif"), value, false);
    ASSERT_FALSE(path.empty());
    TImage image;
    ASSERT_EQ(LoadImage(path, image, settings_.get()), "tif");
    const Rgb shown = ShownRgb(image, *settings_);
    EXPECT_EQ(MaxDifference(shown, MagickUpright(path)), 0);

    // Separate planes go through libtiff's own conversion, which may flip.
    const std::string planes = OrientedTiff(files_.File("p.tif"), value, true);
    ASSERT_FALSE(planes.empty());
    ASSERT_EQ(LoadImage(planes, image, settings_.get()), "tif");
    EXPECT_EQ(MaxDifference(ShownRgb(image, *settings_), shown), 0);
  }
}

}  // namespace
