#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "formats/tga_packet_coder.h"
#include "pcx_tga_support.h"
#include "platform/log_sink.h"

namespace {

using pcx_tga_test::Bytes;
using pcx_tga_test::FormatTest;
using pcx_tga_test::PixelAt;
using pcx_tga_test::PutU16;

Bytes TgaHeader(int type, int width, int height, int depth, int descriptor) {
  Bytes header(18, 0);
  header[2] = static_cast<std::uint8_t>(type);
  PutU16(header, 12, width);
  PutU16(header, 14, height);
  header[16] = static_cast<std::uint8_t>(depth);
  header[17] = static_cast<std::uint8_t>(descriptor);
  return header;
}

// Appends `count` copies of a pixel value of `size` bytes, lowest byte first.
void AppendPixels(Bytes& bytes, std::uint32_t value, int size, int count) {
  for (int i = 0; i < count; ++i) {
    for (int b = 0; b < size; ++b) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * b)));
  }
}

using ReadTga = FormatTest;

TEST_F(ReadTga, RefusesSizesBelowSixteenAndUnknownDepths) {
  const Bytes cases[] = {TgaHeader(2, 15, 100, 24, 0), TgaHeader(2, 16, 8193, 24, 0),
                         TgaHeader(2, 16, 16, 12, 0)};
  for (Bytes file : cases) {
    file.resize(file.size() + 16 * 16 * 3, 0x40);
    TImage image;
    EXPECT_EQ(Load(file, image), "tga");
    EXPECT_EQ(image.width, 64) << "the placeholder stays";
  }
}

TEST_F(ReadTga, BottomUpAndTopDownFilesLoadUpright) {
  for (int descriptor : {0x00, 0x20}) {
    Bytes file = TgaHeader(3, 16, 16, 8, descriptor);
    for (int row = 0; row < 16; ++row) AppendPixels(file, static_cast<std::uint32_t>(row), 1, 16);
    TImage image;
    ASSERT_EQ(Load(file, image), "tga");
    // File row r holds the value r; it is the top row only when the origin is at the top.
    const int top = descriptor == 0x20 ? 0 : 15;
    EXPECT_EQ(image.Row(0)[5], top) << descriptor;
    EXPECT_EQ(PixelAt(image, 5, 0), (std::vector<int>{top, top, top})) << "grey palette";
  }
}

TEST_F(ReadTga, InterleavedRowsFillEveryOtherRowFirst) {
  Bytes file = TgaHeader(3, 16, 16, 8, 0x20 | 0x40);
  for (int row = 0; row < 16; ++row) AppendPixels(file, static_cast<std::uint32_t>(row), 1, 16);
  TImage image;
  ASSERT_EQ(Load(file, image), "tga");
  EXPECT_EQ(image.Row(2)[0], 1);
  EXPECT_EQ(image.Row(1)[0], 8);
  EXPECT_EQ(image.Row(15)[0], 15);
}

TEST_F(ReadTga, DecodesFifteenSixteenAndThirtyTwoBitPixels) {
  Bytes sixteen = TgaHeader(2, 16, 16, 16, 0x20);
  AppendPixels(sixteen, 0x7FFF, 2, 1);
  AppendPixels(sixteen, 0x8000 | (3 << 10) | (5 << 5) | 7, 2, 255);
  TImage image;
  ASSERT_EQ(Load(sixteen, image), "tga");
  EXPECT_EQ(PixelAt(image, 0, 0), (std::vector<int>{248, 248, 248}));
  EXPECT_EQ(PixelAt(image, 1, 0), (std::vector<int>{24, 40, 56})) << "bit 15 ignored";

  Bytes thirty_two = TgaHeader(2, 16, 16, 32, 0x20);
  AppendPixels(thirty_two, 0xEE112233, 4, 256);
  ASSERT_EQ(Load(thirty_two, image), "tga");
  EXPECT_EQ(PixelAt(image, 15, 15), (std::vector<int>{0x11, 0x22, 0x33}));
}

TEST_F(ReadTga, RunPacketsCarryIntoTheNextRowAndRawPacketsFollow) {
  Bytes file = TgaHeader(10, 16, 16, 24, 0x20);
  file.push_back(0x80 + 19);  // a run of 20: row 0 and four pixels of row 1
  AppendPixels(file, 0x0000FF, 3, 1);
  file.push_back(0x01);  // two raw pixels
  AppendPixels(file, 0x00FF00, 3, 1);
  AppendPixels(file, 0xFF0000, 3, 1);
  TImage image;
  ASSERT_EQ(Load(file, image), "tga");
  EXPECT_EQ(PixelAt(image, 15, 0), (std::vector<int>{0, 0, 255}));
  EXPECT_EQ(PixelAt(image, 3, 1), (std::vector<int>{0, 0, 255}));
  EXPECT_EQ(PixelAt(image, 4, 1), (std::vector<int>{0, 255, 0}));
  EXPECT_EQ(PixelAt(image, 5, 1), (std::vector<int>{255, 0, 0}));
  EXPECT_EQ(image.height, 16) << "a short file keeps its size";
}

TEST_F(ReadTga, ColourMapStartsAtItsFirstEntryAndIndicesBeyondTheTablesReadAsZero) {
  Bytes file = TgaHeader(1, 16, 16, 16, 0x20);
  file[1] = 1;
  PutU16(file, 3, 2);  // first entry 2
  PutU16(file, 5, 2);  // two entries
  file[7] = 24;
  file[0] = 3;  // identification length
  const Bytes identification = {'a', 0, 'b'};
  file.insert(file.end(), identification.begin(), identification.end());
  AppendPixels(file, 0x102030, 3, 1);  // entry 2
  AppendPixels(file, 0x405060, 3, 1);  // entry 3
  AppendPixels(file, 3, 2, 1);
  AppendPixels(file, 9000, 2, 1);
  AppendPixels(file, 0, 2, 254);

  struct Collector : CommentSink {
    void AppendCommentChar(int ch) override {
      if (ch != 0) text.push_back(static_cast<char>(ch));
    }
    std::string text;
  } comments;
  InstallCommentSink(&comments);
  TImage image;
  const std::string format = Load(file, image);
  InstallCommentSink(nullptr);
  ASSERT_EQ(format, "tga");
  EXPECT_EQ(comments.text, "ab");
  EXPECT_EQ(PixelAt(image, 0, 0), (std::vector<int>{0x40, 0x50, 0x60}));
  EXPECT_EQ(PixelAt(image, 1, 0), (std::vector<int>{0, 0, 0})) << "index 9000 reads as 0";
}

Bytes Coded(const std::vector<std::uint32_t>& pixels, int bytes_per_pixel) {
  TTgaPacketCoder coder(bytes_per_pixel);
  for (std::uint32_t pixel : pixels) coder.Add(pixel);
  coder.Flush();
  return coder.Output();
}

TEST(TgaPacketCoder, SplitsRunsFromRawPacketsAtTheRepeatedPixel) {
  EXPECT_EQ(Coded({7, 7, 7, 1, 2}, 1), (Bytes{0x82, 7, 0x01, 1, 2}));
  EXPECT_EQ(Coded({1, 2, 2}, 1), (Bytes{0x00, 1, 0x81, 2}));
  EXPECT_EQ(Coded({0x010203, 0x010203}, 3), (Bytes{0x81, 3, 2, 1}));
}

TEST(TgaPacketCoder, PacketsHoldAtMostOneHundredTwentyEightPixels) {
  const Bytes runs = Coded(std::vector<std::uint32_t>(300, 4), 1);
  EXPECT_EQ(runs, (Bytes{0xFF, 4, 0xFF, 4, 0xAB, 4}));
  std::vector<std::uint32_t> distinct(130);
  for (int i = 0; i < 130; ++i) distinct[i] = static_cast<std::uint32_t>(i);
  const Bytes raw = Coded(distinct, 1);
  ASSERT_EQ(raw.size(), 1u + 128u + 1u + 2u);
  EXPECT_EQ(raw[0], 0x7F);
  EXPECT_EQ(raw[129], 0x01);
}

using WriteTga = FormatTest;

TEST_F(WriteTga, PalettePicturesAreTypeNineFromTheTopAndReadBackExactly) {
  TImage image;
  pcx_tga_test::MakePalettePicture(image, 40, 30);
  ASSERT_EQ(Save("palette.tga", image), 0);
  const Bytes file = ReadFileBytes(files_.File("palette.tga"));
  ASSERT_GE(file.size(), 18u + 768u);
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 18),
            (Bytes{0, 1, 9, 0, 0, 0, 1, 24, 0, 0, 0, 0, 40, 0, 30, 0, 8, 0x20}));
  EXPECT_EQ(Bytes(file.begin() + 18 + 3 * 200, file.begin() + 18 + 3 * 201),
            (Bytes{600 & 0xFF, 55, 200}))
      << "colour map entries are blue, green, red";

  TImage back;
  ASSERT_EQ(LoadImage(files_.File("palette.tga"), back, nullptr), "tga");
  EXPECT_EQ(PictureToRgb(back), PictureToRgb(image));
}

TEST_F(WriteTga, ColourPicturesReadBackExactlyAtTheRequestedSize) {
  TImage image;
  pcx_tga_test::MakeColourPicture(image, 400, 200);
  ASSERT_EQ(Save("colour.tga", image), 0);
  TImage back;
  ASSERT_EQ(LoadImage(files_.File("colour.tga"), back, nullptr), "tga");
  EXPECT_EQ(back.GetBytesPerPixel(), 3);
  EXPECT_EQ(PictureToRgb(back), PictureToRgb(image));

  settings_->Set(IntKey::OutputWidth, 100);
  ASSERT_EQ(Save("small.tga", image), 0);
  ASSERT_EQ(LoadImage(files_.File("small.tga"), back, nullptr), "tga");
  EXPECT_EQ(back.width, 100);
  EXPECT_EQ(back.height, 50);
}

TEST_F(WriteTga, CancelledWriteFailsAndLeavesNoFile) {
  TImage image;
  pcx_tga_test::MakeColourPicture(image, 64, 64);
  const int result = format_test::WhileCancelling([&] { return Save("cancelled.tga", image); });
  EXPECT_EQ(result, 1);
  EXPECT_NE(access(files_.File("cancelled.tga").c_str(), F_OK), 0);
}

TEST_F(WriteTga, UnwritableFileFails) {
  TImage image;
  pcx_tga_test::MakePalettePicture(image, 16, 16);
  EXPECT_EQ(Save("no-such-folder/out.tga", image), 1);
}

}  // namespace
