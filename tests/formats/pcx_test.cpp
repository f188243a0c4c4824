#include <gtest/gtest.h>

#include <unistd.h>

#include "formats/pcx_row_coder.h"
#include "pcx_tga_support.h"
#include "platform/log_sink.h"

namespace {

using pcx_tga_test::Bytes;
using pcx_tga_test::FormatTest;
using pcx_tga_test::PixelAt;
using pcx_tga_test::PutU16;

Bytes PcxHeader(int version, int bits, int planes, int width, int height, int bytes_per_line) {
  Bytes header(128, 0);
  header[0] = 0x0A;
  header[1] = static_cast<std::uint8_t>(version);
  header[2] = 1;
  header[3] = static_cast<std::uint8_t>(bits);
  PutU16(header, 8, width - 1);
  PutU16(header, 10, height - 1);
  header[65] = static_cast<std::uint8_t>(planes);
  PutU16(header, 66, bytes_per_line);
  return header;
}

Bytes Join(Bytes head, const Bytes& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

Bytes TrailingPalette(std::uint8_t marker, std::uint8_t fill_from) {
  Bytes palette{marker};
  for (int i = 0; i < 768; ++i) palette.push_back(static_cast<std::uint8_t>(fill_from + i));
  return palette;
}

using ReadPcx = FormatTest;

TEST_F(ReadPcx, OneBitFileWithoutPaletteIsBlackAndWhite) {
  // Row 0 literal bytes; row 1 one run of two 0xAA.
  const Bytes file = Join(PcxHeader(3, 1, 1, 16, 2, 2), {0x00, 0x0F, 0xC2, 0xAA});
  TImage image;
  ASSERT_EQ(Load(file, image), "pcx");
  ASSERT_EQ(image.width, 16);
  ASSERT_EQ(image.height, 2);
  EXPECT_EQ(PixelAt(image, 0, 0), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(PixelAt(image, 15, 0), (std::vector<int>{255, 255, 255}));
  EXPECT_EQ(image.Row(0)[11], 0);
  EXPECT_EQ(image.Row(0)[12], 1);
  for (int x = 0; x < 16; ++x) EXPECT_EQ(image.Row(1)[x], x % 2 == 0 ? 1 : 0) << x;
}

TEST_F(ReadPcx, SixteenColourPlanesUseHeaderMapOnlyFromVersionTwoOrFive) {
  // Plane i has bit i: pixel x gets the value x for x < 16.
  Bytes data;
  for (int plane = 0; plane < 4; ++plane) {
    std::uint16_t bits = 0;
    for (int x = 0; x < 16; ++x) {
      if (x & (1 << plane)) bits |= static_cast<std::uint16_t>(0x8000 >> x);
    }
    // 0xC1 codes a single byte that would otherwise read as a count.
    for (std::uint8_t byte : {std::uint8_t(bits >> 8), std::uint8_t(bits)}) {
      if (byte >= 0xC0) data.push_back(0xC1);
      data.push_back(byte);
    }
  }
  for (int version : {5, 2, 3, 0}) {
    Bytes header = PcxHeader(version, 1, 4, 16, 1, 2);
    for (int i = 0; i < 48; ++i) header[16 + i] = static_cast<std::uint8_t>(100 + i);
    TImage image;
    ASSERT_EQ(Load(Join(header, data), image), "pcx");
    for (int x = 0; x < 16; ++x) EXPECT_EQ(image.Row(0)[x], x) << "version " << version;
    const std::vector<int> nine = PixelAt(image, 9, 0);
    if (version == 5 || version == 2) {
      EXPECT_EQ(nine, (std::vector<int>{127, 128, 129})) << "version " << version;
    } else {
      EXPECT_EQ(nine, (std::vector<int>{85, 85, 85})) << "version " << version;  // built-in
    }
  }
}

TEST_F(ReadPcx, ThreeEightBitPlanesAreColourAndExtraLineBytesAreSkipped) {
  // Width 2 with 4 bytes per plane line: the last two bytes of each plane are padding.
  const Bytes file =
      Join(PcxHeader(5, 8, 3, 2, 1, 4), {10, 11, 99, 99, 20, 21, 99, 99, 30, 31, 99, 99});
  TImage image;
  ASSERT_EQ(Load(file, image), "pcx");
  ASSERT_EQ(image.GetBytesPerPixel(), 3);
  EXPECT_EQ(PixelAt(image, 0, 0), (std::vector<int>{10, 20, 30}));
  EXPECT_EQ(PixelAt(image, 1, 0), (std::vector<int>{11, 21, 31}));
}

TEST_F(ReadPcx, TrailingPaletteIsUsedOnlyWhenMarkedAndAfterTheData) {
  const Bytes pixels = {0x05, 0x06};  // one row of two 8-bit pixels
  const Bytes header = PcxHeader(5, 8, 1, 2, 1, 2);
  TImage image;

  Load(Join(Join(header, pixels), TrailingPalette(12, 0)), image);
  EXPECT_EQ(PixelAt(image, 0, 0), (std::vector<int>{15, 16, 17}));

  Bytes zeros{12};
  zeros.resize(769, 0);
  Load(Join(Join(header, pixels), zeros), image);
  EXPECT_EQ(PixelAt(image, 1, 0), (std::vector<int>{6, 6, 6})) << "all zero means grey levels";

  Load(Join(Join(header, pixels), TrailingPalette(11, 0)), image);
  EXPECT_EQ(PixelAt(image, 1, 0), (std::vector<int>{0, 255, 255})) << "wrong marker: built-in";
}

TEST_F(ReadPcx, RunsCarryAcrossRowsAndMissingDataReadsAsZero) {
  // One run of 6 covers row 0 and half of row 1; the file then ends.
  const Bytes file = Join(PcxHeader(5, 8, 1, 4, 3, 4), {0xC6, 0x33});
  TImage image;
  ASSERT_EQ(Load(file, image), "pcx");
  ASSERT_EQ(image.height, 3);
  EXPECT_EQ(image.Row(1)[1], 0x33);
  EXPECT_EQ(image.Row(1)[2], 0);
  EXPECT_EQ(image.Row(2)[3], 0);
}

// Decoding 8192 rows of 4 planes of 65535 bytes each from an empty file would
// take billions of steps; once the data has ended the rows are known zeros.
TEST_F(ReadPcx, TruncatedFileWithHugeLinesEndsQuickly) {
  const Bytes file = Join(PcxHeader(5, 8, 4, 16, 8192, 65535), {0xC3, 0x44});
  TImage image;
  ASSERT_EQ(Load(file, image), "pcx");
  EXPECT_EQ(image.height, 8192);
  EXPECT_EQ(PixelAt(image, 2, 0), (std::vector<int>{0x44, 0, 0}));
  EXPECT_EQ(PixelAt(image, 2, 8191), (std::vector<int>{0, 0, 0}));
}

TEST_F(ReadPcx, RefusesImpossibleSizesAndDepths) {
  Bytes backwards = PcxHeader(5, 8, 1, 16, 16, 16);
  PutU16(backwards, 4, 20);  // x min beyond x max
  const Bytes cases[] = {backwards, PcxHeader(5, 3, 1, 16, 16, 6),
                         PcxHeader(5, 8, 1, 8193, 4, 8193), PcxHeader(5, 8, 1, 4, 8193, 4)};
  for (const Bytes& header : cases) {
    TImage image;
    EXPECT_EQ(Load(Join(header, Bytes(64, 0x11)), image), "pcx");
    EXPECT_EQ(image.width, 64) << "the placeholder stays";
    EXPECT_EQ(image.height, 48);
  }
}

TEST(EncodePcxRow, CodesRunsOfAtMostSixtyThreeAndEscapesHighBytes) {
  Bytes out;
  const Bytes mixed = {5, 5, 200};
  EncodePcxRow(mixed.data(), 3, out);
  EXPECT_EQ(out, (Bytes{0xC2, 0x05, 0xC1, 0xC8}));
  const Bytes hundred(100, 9);
  EncodePcxRow(hundred.data(), 100, out);
  EXPECT_EQ(out, (Bytes{0xFF, 9, 0xE5, 9}));
}

using WritePcx = FormatTest;

TEST_F(WritePcx, WritesOnePlaneOfOddWidthAndTheTrailingPalette) {
  TImage image;
  pcx_tga_test::MakePalettePicture(image, 33, 20);
  ASSERT_EQ(Save("out.pcx", image), 0);
  const Bytes file = ReadFileBytes(files_.File("out.pcx"));
  ASSERT_GT(file.size(), 128u + 769u);
  EXPECT_EQ(file[0], 10);
  EXPECT_EQ(file[1], 5);
  EXPECT_EQ(file[3], 8);
  EXPECT_EQ(file[65], 1);
  EXPECT_EQ(file[66] | file[67] << 8, 33) << "bytes per line not rounded up";
  EXPECT_EQ(file[file.size() - 769], 12);

  TImage back;
  ASSERT_EQ(LoadImage(files_.File("out.pcx"), back, nullptr), "pcx");
  EXPECT_EQ(PictureToRgb(back), PictureToRgb(image));
}

TEST_F(WritePcx, CancelledWriteFailsAndLeavesNoFile) {
  TImage image;
  pcx_tga_test::MakeColourPicture(image, 64, 64);
  const int result = format_test::WhileCancelling([&] { return Save("cancelled.pcx", image); });
  EXPECT_EQ(result, 1);
  EXPECT_NE(access(files_.File("cancelled.pcx").c_str(), F_OK), 0);
}

}  // namespace
