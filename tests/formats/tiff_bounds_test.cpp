// TIFF reading keeps its work and memory to the rows it stores: files that
// announce more than that are refused before anything is decoded, and reduced
// pictures take only their kept rows from strips and tiles.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jpeg_tiff_support.h"
#include "tiff_test_files.h"

namespace {

using jpeg_tiff_test::TCapture;
using tiff_test::Bytes;

void CmykTags(TIFF* tiff, std::uint32_t width, std::uint32_t height) {
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 4);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_SEPARATED);
  TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
}

// Inks of pixel (x, y); black ink 0, so the light is 255 minus each ink.
std::uint8_t Ink(int x, int y, int channel) {
  return static_cast<std::uint8_t>((x * 7 + y * 13 + channel * 50) & 0xFF);
}

class TiffBounds : public pcx_tga_test::FormatTest {
 protected:
  LoadImageResult LoadTiff(const std::string& path) {
    return LoadImageWithStatus(path, *image_, settings_.get());
  }
  // Every stored pixel against the inks of the file pixel it stands for.
  void ExpectInksOfEveryKeptPixel(int reduction) {
    for (int y = 0; y < image_->height; ++y) {
      for (int x = 0; x < image_->width; ++x) {
        const std::uint8_t* pixel = image_->Row(y) + 3 * x;  // blue, green, red
        ASSERT_EQ(pixel[2], 255 - Ink(x * reduction, y * reduction, 0)) << x << "," << y;
        ASSERT_EQ(pixel[1], 255 - Ink(x * reduction, y * reduction, 1)) << x << "," << y;
        ASSERT_EQ(pixel[0], 255 - Ink(x * reduction, y * reduction, 2)) << x << "," << y;
      }
    }
  }
  std::string WriteCmyk(const std::string& name, int width, int height,
                        const std::function<void(TIFF*)>& layout) {
    const std::string path = files_.File(name);
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    EXPECT_NE(tiff, nullptr);
    CmykTags(tiff, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height));
    layout(tiff);
    if (TIFFIsTiled(tiff)) {
      std::uint32_t tile_width = 0, tile_length = 0;
      TIFFGetField(tiff, TIFFTAG_TILEWIDTH, &tile_width);
      TIFFGetField(tiff, TIFFTAG_TILELENGTH, &tile_length);
      Bytes tile(static_cast<std::size_t>(TIFFTileSize(tiff)));
      for (std::uint32_t top = 0; top < std::uint32_t(height); top += tile_length) {
        for (std::uint32_t left = 0; left < std::uint32_t(width); left += tile_width) {
          for (std::uint32_t r = 0; r < tile_length; ++r) {
            for (std::uint32_t c = 0; c < tile_width; ++c) {
              for (int k = 0; k < 4; ++k) {
                tile[4 * (r * tile_width + c) + k] =
                    k == 3 ? 0 : Ink(static_cast<int>(left + c), static_cast<int>(top + r), k);
              }
            }
          }
          EXPECT_GE(TIFFWriteTile(tiff, tile.data(), left, top, 0, 0), 0);
        }
      }
    } else {
      Bytes line(static_cast<std::size_t>(TIFFScanlineSize(tiff)));
      for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
          for (int k = 0; k < 4; ++k) line[4 * x + k] = k == 3 ? 0 : Ink(x, y, k);
        }
        EXPECT_GE(TIFFWriteScanline(tiff, line.data(), static_cast<std::uint32_t>(y), 0), 0);
      }
    }
    TIFFClose(tiff);
    return path;
  }

  std::unique_ptr<TImage> image_ = std::make_unique<TImage>();
};

TEST_F(TiffBounds, AHugeCmykFileIsRefusedBeforeAnythingIsDecoded) {
  // 2^20 x 2^20 pixels in one strip, or in strips of 16 rows, carried by a
  // few bytes: its decoding would never end.
  for (std::uint32_t rows_per_strip : {1u << 20, 16u}) {
    SCOPED_TRACE(rows_per_strip);
    const std::string path = files_.File("huge-cmyk.tif");
    ASSERT_TRUE(tiff_test::WriteAnnouncingTiff(path, [&](TIFF* tiff) {
      CmykTags(tiff, 1u << 20, 1u << 20);
      TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, rows_per_strip);
      TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_DEFLATE);
    }));
    TCapture capture;
    const LoadImageResult result = LoadTiff(path);
    EXPECT_EQ(result.format, "tif");
    EXPECT_EQ(result.status, LoadStatus::kRefused);
    EXPECT_EQ(image_->width, 64);
    EXPECT_EQ(capture.Count("TIFF Error: 1048576 x 1048576 pixels of this kind need more decoding "
                            "than this program allows"),
              1);
  }
}

TEST_F(TiffBounds, ASmallFileAskingForAHugeTileOrStripIsRefused) {
  // A 16384 x 8192 CMYK tile is 512 MB, and so is a strip of 2048 rows of
  // 65536 CMYK pixels (compressed: libtiff cuts uncompressed strips itself).
  const std::string tiled = files_.File("huge-tile.tif");
  ASSERT_TRUE(tiff_test::WriteAnnouncingTiff(tiled, [](TIFF* tiff) {
    CmykTags(tiff, 16384, 8192);
    TIFFSetField(tiff, TIFFTAG_TILEWIDTH, 16384);
    TIFFSetField(tiff, TIFFTAG_TILELENGTH, 8192);
  }));
  const std::string striped = files_.File("huge-strip.tif");
  ASSERT_TRUE(tiff_test::WriteAnnouncingTiff(striped, [](TIFF* tiff) {
    CmykTags(tiff, 65536, 2048);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 2048);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
  }));
  for (const std::string& path : {tiled, striped}) {
    SCOPED_TRACE(path);
    TCapture capture;
    EXPECT_EQ(LoadTiff(path).status, LoadStatus::kRefused);
    EXPECT_EQ(image_->width, 64);
    EXPECT_EQ(capture.Count(
                  "TIFF Error: " + std::string(path == tiled ? "16384 x 8192" : "65536 x 2048") +
                  " pixels of this kind need more decoding than this program allows"),
              1);
  }
}

TEST_F(TiffBounds, StripsAndTilesGiveTheKeptRowsWholeOrReduced) {
  const std::string striped = WriteCmyk("strips.tif", 67, 45, [](TIFF* tiff) {
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 5);  // strips that do not line up with 8
  });
  const std::string tiled = WriteCmyk("tiles.tif", 67, 45, [](TIFF* tiff) {
    TIFFSetField(tiff, TIFFTAG_TILEWIDTH, 16);
    TIFFSetField(tiff, TIFFTAG_TILELENGTH, 16);
  });
  for (const std::string& path : {striped, tiled}) {
    for (int quick_look : {0, 1}) {
      SCOPED_TRACE(testing::Message() << path << ", QuickLook " << quick_look);
      settings_->Set(IntKey::QuickLook, quick_look);
      ASSERT_EQ(LoadTiff(path).status, LoadStatus::kLoaded);
      const int reduction = quick_look ? 8 : 1;
      ASSERT_EQ(image_->width, 67 / reduction);
      ASSERT_EQ(image_->height, 45 / reduction);
      ExpectInksOfEveryKeptPixel(reduction);
    }
  }
}

TEST_F(TiffBounds, UncompressedTilesOfAnySizeAreRead) {
  // 16 x 16 grey tiles hold 256 bytes, not a multiple of 1024.
  const std::string path = files_.File("grey-tiles.tif");
  TIFF* tiff = TIFFOpen(path.c_str(), "w");
  ASSERT_NE(tiff, nullptr);
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, 40);
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 24);
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
  TIFFSetField(tiff, TIFFTAG_TILEWIDTH, 16);
  TIFFSetField(tiff, TIFFTAG_TILELENGTH, 16);
  Bytes tile(16 * 16);
  for (std::uint32_t top = 0; top < 24; top += 16) {
    for (std::uint32_t left = 0; left < 40; left += 16) {
      for (std::uint32_t r = 0; r < 16; ++r) {
        for (std::uint32_t c = 0; c < 16; ++c) {
          tile[r * 16 + c] = static_cast<std::uint8_t>((top + r) * 5 + left + c + 1);
        }
      }
      ASSERT_GE(TIFFWriteTile(tiff, tile.data(), left, top, 0, 0), 0);
    }
  }
  TIFFClose(tiff);

  TCapture capture;
  ASSERT_EQ(LoadTiff(path).status, LoadStatus::kLoaded);
  for (const std::string& line : capture.lines)
    EXPECT_EQ(line.find("Error"), std::string::npos) << line;
  ASSERT_EQ(image_->width, 40);
  ASSERT_EQ(image_->height, 24);
  for (int y = 0; y < 24; ++y) {
    for (int x = 0; x < 40; ++x) {
      ASSERT_EQ(image_->Row(y)[3 * x], (y * 5 + x + 1) & 0xFF) << x << "," << y;
    }
  }
}

TEST_F(TiffBounds, QuickLookReadsCompressedStripsFromTheirStart) {
  // LZW cannot jump to a row inside a strip: one strip of 40 rows.
  const std::string path = files_.File("lzw.tif");
  ASSERT_TRUE(tiff_test::WriteStripTiff(
      path,
      [](TIFF* tiff) {
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, 48);
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 40);
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
        TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 40);
      },
      40,
      [](int y, Bytes& line) {
        for (std::size_t x = 0; x < line.size(); ++x)
          line[x] = static_cast<std::uint8_t>(y * 5 + x);
      }));
  settings_->Set(IntKey::QuickLook, 1);
  ASSERT_EQ(LoadTiff(path).status, LoadStatus::kLoaded);
  ASSERT_EQ(image_->height, 5);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 6; ++x) EXPECT_EQ(image_->Row(y)[x], 8 * y * 5 + 8 * x) << x << "," << y;
  }
}

}  // namespace
