// What every reader reports: a refusal logs its reason and keeps the
// placeholder, the largest sizes each format allows still load, and a cancel
// stops the reading.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bmp_test_files.h"
#include "gif_test_files.h"
#include "jpeg_tiff_support.h"
#include "tiff_test_files.h"

namespace {

using jpeg_tiff_test::TCapture;
using pcx_tga_test::Bytes;
using pcx_tga_test::PutU16;

Bytes Pcx(int bits, int width, int height) {
  Bytes file(128, 0);
  file[0] = 0x0A;
  file[1] = 5;
  file[2] = 1;
  file[3] = static_cast<std::uint8_t>(bits);
  PutU16(file, 8, width - 1);
  PutU16(file, 10, height - 1);
  file[65] = 1;
  PutU16(file, 66, (width * bits + 7) / 8);
  return file;
}

Bytes Tga(int width, int height, int depth) {
  Bytes file(18, 0);
  file[2] = 3;  // grey, uncompressed
  PutU16(file, 12, width);
  PutU16(file, 14, height);
  file[16] = static_cast<std::uint8_t>(depth);
  return file;
}

Bytes Bmp(int width, int height, int bits) {
  return bmp_test::File(bmp_test::Info({40, width, height, bits, 0, 0}), bmp_test::Table(256),
                        Bytes(static_cast<std::size_t>(width) * 3, 1));
}

class LoadStatusTest : public pcx_tga_test::FormatTest {
 protected:
  // Loads the bytes; the log lines it wrote are in lines_.
  LoadImageResult LoadBytes(const Bytes& bytes) {
    TCapture capture;
    const std::string path = files_.File("in.bin");
    EXPECT_TRUE(WriteFileBytes(path, bytes));
    const LoadImageResult result = LoadImageWithStatus(path, *image_, settings_.get());
    lines_ = capture.lines;
    return result;
  }
  void ExpectRefused(const Bytes& bytes, const std::string& format, const std::string& line) {
    const LoadImageResult result = LoadBytes(bytes);
    EXPECT_EQ(result.format, format);
    EXPECT_EQ(result.status, LoadStatus::kRefused);
    EXPECT_EQ(image_->width, 64);
    EXPECT_EQ(image_->height, 48);
    EXPECT_EQ(lines_, std::vector<std::string>{line});
  }
  void ExpectLoaded(const Bytes& bytes, int width, int height) {
    EXPECT_EQ(LoadBytes(bytes).status, LoadStatus::kLoaded);
    EXPECT_EQ(image_->width, std::max(1, width / image_->reduction));
    EXPECT_EQ(image_->height, std::max(1, height / image_->reduction));
  }

  std::unique_ptr<TImage> image_ = std::make_unique<TImage>();
  std::vector<std::string> lines_;
};

TEST_F(LoadStatusTest, BmpRefusalsNameTheirReason) {
  for (int bits : {0, 3, 7, 48, 64}) {
    SCOPED_TRACE(bits);
    ExpectRefused(Bmp(4, 1, bits), "bmp",
                  "BMP Error: " + std::to_string(bits) + " bits per pixel are not read");
  }
  ExpectRefused(Bmp(8193, 1, 8), "bmp",
                "BMP Error: 8193 x 1 pixels is not a size this program reads");
  ExpectRefused(Bmp(1, 8193, 24), "bmp",
                "BMP Error: 1 x 8193 pixels is not a size this program reads");
  ExpectRefused(bmp_test::File(bmp_test::Info({64, 2, 1, 8, 0, 0}), {}, {}), "bmp",
                "BMP Error: A header of 64 bytes is not read");
  const Bytes whole = Bmp(2, 1, 8);
  ExpectRefused(Bytes(whole.begin(), whole.begin() + 20), "bmp",
                "BMP Error: The file ends inside its header");
  ExpectRefused(Bytes(whole.begin(), whole.begin() + 60), "bmp",
                "BMP Error: The file ends inside its colour table");
}

TEST_F(LoadStatusTest, GifPcxAndTgaRefusalsNameTheirReason) {
  ExpectRefused(gif_test::FileBuilder(8193, 10, 0).Finish(), "gif",
                "GIF Error: A screen of 8193 x 10 pixels is larger than 8192");
  ExpectRefused(gif_test::FileBuilder(10, 8193, 0).Finish(), "gif",
                "GIF Error: A screen of 10 x 8193 pixels is larger than 8192");
  const Bytes gif = gif_test::FileBuilder(4, 4, 7).Finish();
  ExpectRefused(Bytes(gif.begin(), gif.begin() + 10), "gif",
                "GIF Error: The file ends inside its header");
  ExpectRefused(Bytes(gif.begin(), gif.begin() + 100), "gif",
                "GIF Error: The file ends inside its colour table");

  ExpectRefused(Pcx(8, 8193, 1), "pcx",
                "PCX Error: 8193 x 1 pixels is not a size this program reads");
  ExpectRefused(Pcx(3, 4, 4), "pcx", "PCX Error: 3 bits per plane are not read");
  const Bytes pcx = Pcx(8, 4, 4);
  ExpectRefused(Bytes(pcx.begin(), pcx.begin() + 127), "pcx",
                "PCX Error: The file ends inside its header");

  ExpectRefused(Tga(15, 16, 8), "tga",
                "TGA Error: 15 x 16 pixels is not a size this program reads");
  ExpectRefused(Tga(16, 8193, 8), "tga",
                "TGA Error: 16 x 8193 pixels is not a size this program reads");
  ExpectRefused(Tga(16, 16, 12), "tga", "TGA Error: 12 bits per pixel are not read");
  const Bytes tga = Tga(16, 16, 8);
  ExpectRefused(Bytes(tga.begin(), tga.begin() + 17), "tga",
                "TGA Error: The file ends inside its header");
}

TEST_F(LoadStatusTest, TiffAndJpegRefusalsNameTheirReason) {
  for (int bits : {24, 48, 64}) {
    SCOPED_TRACE(bits);
    const std::string path = files_.File("deep.tif");
    ASSERT_TRUE(tiff_test::WriteStripTiff(
        path,
        [&](TIFF* tiff) {
          TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, 4);
          TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 2);
          TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, bits);
          TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
          TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
        },
        2, [](int, tiff_test::Bytes& line) { std::fill(line.begin(), line.end(), 7); }));
    ExpectRefused(ReadFileBytes(path), "tif",
                  "TIFF Error: " + std::to_string(bits) + " bits per sample are not read");
  }
  // No peer tool needed: a frame header of 0 x 0 pixels.
  const Bytes jpeg = {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x0B, 0x08, 0x00, 0x00,
                      0x00, 0x00, 0x01, 0x01, 0x11, 0x00, 0xFF, 0xD9};
  const LoadImageResult result = LoadBytes(jpeg);
  EXPECT_EQ(result.format, "jpg");
  EXPECT_EQ(result.status, LoadStatus::kRefused);
  EXPECT_EQ(image_->width, 64);
  ASSERT_EQ(lines_.size(), 1u);
  EXPECT_EQ(lines_[0].rfind("JPEG Error: ", 0), 0u) << lines_[0];
}

TEST_F(LoadStatusTest, TheLargestSizesEachFormatAllowsStillLoad) {
  ExpectLoaded(Bmp(8192, 1, 8), 8192, 1);
  EXPECT_EQ(image_->reduction, 1);  // a row of exactly 8192 bytes
  ExpectLoaded(Bmp(1, 8192, 8), 1, 8192);
  ExpectLoaded(Bmp(8192, 1, 24), 8192, 1);
  ExpectLoaded(gif_test::FileBuilder(8192, 8192, 0).Finish(), 8192, 8192);
  Bytes pcx = Pcx(8, 8192, 1);
  pcx.resize(pcx.size() + 8192, 0x05);
  ExpectLoaded(pcx, 8192, 1);
  Bytes tga = Tga(8192, 16, 8);
  tga.resize(tga.size() + 8192 * 16, 0x05);
  ExpectLoaded(tga, 8192, 16);
  EXPECT_EQ(image_->Row(15)[8191], 0x05);

  // TIFF announces up to 2^20 pixels a side.
  for (std::uint32_t width : {1u << 20, (1u << 20) + 1}) {
    const std::string path = files_.File("wide.tif");
    ASSERT_TRUE(tiff_test::WriteStripTiff(
        path,
        [&](TIFF* tiff) {
          TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
          TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 1);
          TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 1);
          TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
          TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
        },
        1, [](int, tiff_test::Bytes& line) { std::fill(line.begin(), line.end(), 0xFF); }));
    const LoadImageResult result = LoadImageWithStatus(path, *image_, settings_.get());
    if (width == 1u << 20) {
      EXPECT_EQ(result.status, LoadStatus::kLoaded);
      EXPECT_EQ(image_->width * image_->reduction, 1 << 20);
      EXPECT_EQ(image_->Row(0)[image_->width - 1], 1);
    } else {
      EXPECT_EQ(result.status, LoadStatus::kRefused);
    }
  }
}

TEST_F(LoadStatusTest, EveryReaderStopsAtACancel) {
  auto source = std::make_unique<TImage>();
  pcx_tga_test::MakeColourPicture(*source, 48, 40);
  for (const char* name : {"in.gif", "in.bmp", "in.pcx", "in.tga", "in.jpg", "in.tif"}) {
    SCOPED_TRACE(name);
    ASSERT_EQ(Save(name, *source), 0);
    const std::string path = files_.File(name);
    auto whole = std::make_unique<TImage>();
    ASSERT_EQ(LoadImageWithStatus(path, *whole, settings_.get()).status, LoadStatus::kLoaded);
    const LoadImageResult result = format_test::WhileCancelling(
        [&] { return LoadImageWithStatus(path, *image_, settings_.get()); });
    EXPECT_EQ(result.status, LoadStatus::kCancelled);
    // The rows after the first poll were never read: they differ from the whole load.
    ASSERT_EQ(image_->width, whole->width);
    ASSERT_EQ(image_->height, whole->height);
    const std::size_t row_bytes = std::size_t(whole->width) * whole->bytesPerPixel;
    int same_rows = 0;
    for (int y = 0; y < whole->height; ++y) {
      same_rows += std::equal(whole->Row(y), whole->Row(y) + row_bytes, image_->Row(y));
    }
    EXPECT_LE(same_rows, 1);
  }
}

}  // namespace
