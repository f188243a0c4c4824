#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "archive/input_stream.h"
#include "image/dither.h"
#include "image/image.h"
#include "image/picture_formats.h"
#include "settings/profile.h"
#include "support/temp_dir.h"

namespace {

// What the stand-in readers saw: which format ran and the first byte they read.
struct ReaderLog {
  std::string format;
  int first_byte = -2;
  LoadStatus answer = LoadStatus::kLoaded;  // what the stand-in reports
};
ReaderLog g_read;

template <PictureFormat kFormat>
LoadStatus StandInReader(InputStream* stream, const std::string&, TImage& image, const TProfile*) {
  g_read.format = std::string(PictureFormatName(kFormat));
  g_read.first_byte = stream_getc(stream);
  if (kFormat == PictureFormat::Tiff) stream_close(stream);
  if (g_read.answer == LoadStatus::kRefused) return g_read.answer;
  image.Create(5, 4, 1, 1, 1, 1, 0);
  return g_read.answer;
}

std::string g_written;
template <PictureFormat kFormat>
int StandInWriter(const std::string&, TImage&, const TProfile&, TDither&, const LogPalette*) {
  g_written = std::string(PictureFormatName(kFormat));
  return 0;
}

class PictureFormatsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterPictureReader(PictureFormat::Gif, StandInReader<PictureFormat::Gif>);
    RegisterPictureReader(PictureFormat::Bmp, StandInReader<PictureFormat::Bmp>);
    RegisterPictureReader(PictureFormat::Pcx, StandInReader<PictureFormat::Pcx>);
    RegisterPictureReader(PictureFormat::Tga, StandInReader<PictureFormat::Tga>);
    RegisterPictureReader(PictureFormat::Jpeg, StandInReader<PictureFormat::Jpeg>);
    RegisterPictureReader(PictureFormat::Tiff, StandInReader<PictureFormat::Tiff>);
    RegisterPictureWriter(PictureFormat::Bmp, StandInWriter<PictureFormat::Bmp>);
    RegisterPictureWriter(PictureFormat::Jpeg, StandInWriter<PictureFormat::Jpeg>);
    g_read = {};
    g_written.clear();
  }
  void TearDown() override {
    for (int type = 1; type <= kPictureFormatCount; ++type) {
      RegisterPictureReader(static_cast<PictureFormat>(type), nullptr);
      RegisterPictureWriter(static_cast<PictureFormat>(type), nullptr);
    }
  }

  std::string Load(const std::vector<unsigned char>& bytes) {
    const std::string path = dir_.File("picture.dat");
    WriteFileBytes(path, bytes);
    return LoadImage(path, *image_, nullptr);
  }

  TempDir dir_;
  std::unique_ptr<TImage> image_ = std::make_unique<TImage>();
};

std::vector<unsigned char> Bytes(std::string_view text, std::size_t lead = 0,
                                 unsigned char pad = 0x20) {
  std::vector<unsigned char> bytes(lead, pad);
  bytes.insert(bytes.end(), text.begin(), text.end());
  return bytes;
}

TEST_F(PictureFormatsTest, FindsGifAndJpegSignaturesAnywhereInTheFirst1029Bytes) {
  EXPECT_EQ(Load(Bytes("GIF89a....", 128)), "gif");
  EXPECT_EQ(g_read.first_byte, 'G');  // the reader starts at the signature
  EXPECT_EQ(Load(Bytes("GIF87a", 1023)), "gif");
  EXPECT_EQ(Load(Bytes("GIF87a", 1024)), "???");
  EXPECT_EQ(Load(Bytes("\xFF\xD8\xFF\xE0", 500)), "jpg");
  EXPECT_EQ(g_read.first_byte, 0xFF);
  // A signature cut by the end of the file is no signature.
  EXPECT_EQ(Load(Bytes("GIF8", 10)), "???");
}

TEST_F(PictureFormatsTest, RecognisesTheOtherFormatsOnlyAtTheStart) {
  EXPECT_EQ(Load(Bytes("BM......")), "bmp");
  EXPECT_EQ(Load(Bytes("BM......", 1)), "???");
  EXPECT_EQ(Load(Bytes("II*\0")), "tif");
  EXPECT_EQ(Load(Bytes("MM\0*")), "tif");
  EXPECT_EQ(Load({0x0A, 0x05, 0x01}), "pcx");
  EXPECT_EQ(Load({0x0A, 0x01, 0x05}), "???");  // PCX version 1 does not exist
  // Targa: colour-map type read as a signed byte is at most 1.
  EXPECT_EQ(Load({0x00, 0x00, 0x02}), "tga");
  EXPECT_EQ(Load({0x00, 0x80, 0x0A}), "tga");
  EXPECT_EQ(Load({0x00, 0x02, 0x02}), "???");
  EXPECT_EQ(Load({0x00, 0x01, 0x04}), "???");
}

TEST_F(PictureFormatsTest, UnknownEmptyAndMissingFilesLeaveTheWhitePlaceholder) {
  EXPECT_EQ(Load({}), "???");
  EXPECT_EQ(image_->width, 64);
  EXPECT_EQ(image_->height, 48);
  EXPECT_EQ(image_->Row(0)[0], 1);
  EXPECT_EQ(LoadImage(dir_.File("missing.gif"), *image_, nullptr), "???");
  EXPECT_EQ(g_read.format, "");
}

TEST_F(PictureFormatsTest, TheStatusTellsARefusalFromALoadAndKeepsTheFormatName) {
  const std::string path = dir_.File("picture.bmp");
  ASSERT_TRUE(WriteFileBytes(path, Bytes("BM......")));
  for (LoadStatus answer : {LoadStatus::kLoaded, LoadStatus::kCancelled, LoadStatus::kRefused}) {
    g_read.answer = answer;
    const LoadImageResult result = LoadImageWithStatus(path, *image_, nullptr);
    EXPECT_EQ(result.format, "bmp");
    EXPECT_EQ(result.status, answer);
    EXPECT_EQ(image_->width, answer == LoadStatus::kRefused ? 64 : 5);
  }
  EXPECT_EQ(LoadImage(path, *image_, nullptr), "bmp");

  const LoadImageResult missing = LoadImageWithStatus(dir_.File("missing.bmp"), *image_, nullptr);
  EXPECT_EQ(missing.format, "???");
  EXPECT_EQ(missing.status, LoadStatus::kUnrecognised);
  ASSERT_TRUE(WriteFileBytes(path, Bytes("xBM")));
  EXPECT_EQ(LoadImageWithStatus(path, *image_, nullptr).status, LoadStatus::kUnrecognised);
}

TEST_F(PictureFormatsTest, AFormatWithoutItsReaderIsUnknown) {
  RegisterPictureReader(PictureFormat::Bmp, nullptr);
  EXPECT_EQ(Load(Bytes("BM......")), "???");
  EXPECT_EQ(image_->width, 64);
}

TEST_F(PictureFormatsTest, SaveChoosesTheWriterByExtensionThenByType) {
  TProfile settings;
  TDither dither;
  EXPECT_EQ(SaveImage("/tmp/x/picture.BMP", 1, *image_, settings, dither, nullptr), 0);
  EXPECT_EQ(g_written, "bmp");
  EXPECT_EQ(SaveImage("/tmp/x/picture", 5, *image_, settings, dither, nullptr), 0);
  EXPECT_EQ(g_written, "jpg");
  EXPECT_EQ(SaveImage("/tmp/x/picture.rle", 5, *image_, settings, dither, nullptr), 0);
  EXPECT_EQ(g_written, "bmp");
  g_written.clear();
  EXPECT_EQ(SaveImage("/tmp/x/picture", 7, *image_, settings, dither, nullptr), 1);
  EXPECT_EQ(SaveImage("/tmp/x/picture.gif", 2, *image_, settings, dither, nullptr),
            1);  // no GIF writer
  EXPECT_EQ(g_written, "");
}

TEST(PictureFormatTable, NamesAndExtensions) {
  EXPECT_EQ(PictureFormatName(PictureFormat::Jpeg), "jpg");
  EXPECT_EQ(PictureFormatName(static_cast<PictureFormat>(9)), "???");
  EXPECT_EQ(SaveTypeOfExtension(".Dib"), 2);
  EXPECT_EQ(SaveTypeOfExtension("tif"), 6);
  EXPECT_EQ(SaveTypeOfExtension(".jpeg"), 0);
  EXPECT_EQ(SaveTypeOfExtension(""), 0);
}

}  // namespace
