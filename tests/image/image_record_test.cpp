#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "image/image.h"

namespace {

std::unique_ptr<TImage> NewImage() {
  return std::make_unique<TImage>();
}

TEST(ImageCreate, ReducesRowsWiderThanTheLimit) {
  auto image = NewImage();
  image->Create(10000, 100, 1, 1, 1, 1, 0);
  EXPECT_EQ(image->reduction, 2);
  EXPECT_EQ(image->width, 5000);
  EXPECT_EQ(image->height, 50);

  image->Create(3000, 10, 1, 1, 3, 1, 0);
  EXPECT_EQ(image->width, 1500);
  EXPECT_EQ(image->colourCount, 768);

  // (2730 * 3 + 3) rounded down to 4 is exactly 8192: accepted as it is.
  image->Create(2730, 10, 1, 1, 3, 1, 0);
  EXPECT_EQ(image->reduction, 1);
  EXPECT_EQ(image->Stride(), 8192);
  image->Create(2731, 10, 1, 1, 3, 1, 0);
  EXPECT_EQ(image->reduction, 2);
}

TEST(ImageCreate, ReducesTallPicturesAndKeepsQuickLookFactor) {
  auto image = NewImage();
  image->Create(100, 20000, 1, 1, 1, 1, 0);
  EXPECT_EQ(image->reduction, 4);
  EXPECT_EQ(image->height, 5000);

  image->Create(640, 480, 1, 1, 1, 8, 0);
  EXPECT_EQ(image->width, 80);
  EXPECT_EQ(image->height, 60);
  EXPECT_EQ(image->useCounts[0], 80 * 60 / 256);
}

TEST(ImageCreate, HalvesUntilTheBitmapFitsInMemory) {
  auto image = NewImage();
  TDib::SetBitmapMemoryLimit(300 * 1024);
  image->Create(1024, 1024, 1, 1, 1, 1, 0);
  TDib::SetBitmapMemoryLimit(0);
  EXPECT_EQ(image->reduction, 2);
  EXPECT_EQ(image->width, 512);
  EXPECT_FALSE(image->bitmap.Empty());
}

TEST(ImageCreate, SizesAFileGotWrongStillGiveAValidPicture) {
  auto image = NewImage();
  image->Create(0, -5, 1, 1, 1, 1, 7);
  EXPECT_EQ(image->width, 1);
  EXPECT_EQ(image->height, 1);
  EXPECT_EQ(image->Row(0)[0], 7);
  image->Create(5, 5, 1, 1, 3, 8, 0);  // QuickLook on a tiny picture
  EXPECT_EQ(image->width, 1);
  const std::uint8_t red[5] = {9, 9, 9, 9, 9}, green[5] = {8}, blue[5] = {7};
  image->PutRow(0, 0, red, green, blue, 5, -1);
  EXPECT_EQ(image->Row(0)[2], 9);
}

TEST(ImageCreate, StoresBottomUpWithRowZeroAtTheTopAndFillsEveryRow) {
  auto image = NewImage();
  image->Create(5, 3, 1, 1, 1, 1, 0x2A);
  const int stride = image->Stride();
  EXPECT_EQ(stride, 8);
  const std::uint8_t* bits = image->bitmap.Bits();
  EXPECT_EQ(image->rows[0], bits + 2 * stride);
  EXPECT_EQ(image->rows[2], bits);
  for (int i = 0; i < 3 * stride; ++i) ASSERT_EQ(bits[i], 0x2A);
  EXPECT_EQ(image->bitmap.Colour(200).green, 200);
}

TEST(ImagePutRow, StoresEveryNthPixelOfEveryNthRowAndClipsAtTheEdge) {
  auto image = NewImage();
  image->Create(16, 16, 1, 1, 1, 2, 0);  // stored 8 x 8
  std::uint8_t line[16];
  for (int i = 0; i < 16; ++i) line[i] = static_cast<std::uint8_t>(i + 1);
  image->PutRow(0, 3, line, nullptr, nullptr, 16, -1);  // odd row: dropped
  EXPECT_EQ(image->Row(1)[0], 0);
  image->PutRow(4, 2, line, nullptr, nullptr, 16, -1);
  const std::uint8_t* row = image->Row(1);
  EXPECT_EQ(row[1], 0);
  EXPECT_EQ(row[2], 1);
  EXPECT_EQ(row[3], 3);
  EXPECT_EQ(row[7], 11);  // cut at the right edge, nothing beyond
  image->PutRow(-2, 0, line, nullptr, nullptr, 16, -1);
  image->PutRow(0, 16, line, nullptr, nullptr, 16, -1);
  EXPECT_EQ(image->Row(0)[0], 0);
}

TEST(ImagePutRow, SwapsToBlueGreenRedAndHonoursTransparency) {
  auto image = NewImage();
  image->Create(2, 1, 1, 1, 3, 1, 0);
  const std::uint8_t red[2] = {10, 11}, green[2] = {20, 21}, blue[2] = {30, 31};
  image->PutRow(0, 0, red, green, blue, 2, -1);
  const std::uint8_t expected[6] = {30, 20, 10, 31, 21, 11};
  EXPECT_EQ(std::memcmp(image->Row(0), expected, 6), 0);

  image->Create(4, 1, 1, 1, 1, 1, 9);
  const std::uint8_t indices[4] = {1, 5, 1, 2};
  image->PutRow(0, 0, indices, nullptr, nullptr, 4, 1);
  const std::uint8_t kept[4] = {9, 5, 9, 2};
  EXPECT_EQ(std::memcmp(image->Row(0), kept, 4), 0);
}

TEST(ImagePalette, ReportsUsePercentagesAndStandInsForEmptyPalettes) {
  auto image = NewImage();
  image->Create(10, 10, 1, 1, 1, 1, 0);
  LogPalette palette;
  palette.count = 2;
  palette.entries[0] = {1, 2, 3, 0};
  palette.entries[1] = {4, 5, 6, 0};
  image->SetPalette(palette);
  image->useCounts.fill(0);
  image->useCounts[1] = 25;
  image->colourCount = 2;
  LogPalette out;
  int percent[256];
  image->GetPalette(out, percent);
  EXPECT_EQ(out.count, 2);
  EXPECT_EQ(out.entries[1].green, 5);
  EXPECT_EQ(percent[1], 25);

  image->colourCount = 0;
  image->GetPalette(out, percent);
  EXPECT_EQ(out.count, 2);
  EXPECT_EQ(out.entries[1].red, 255);
  EXPECT_EQ(percent[0], 50);

  image->Create(4, 4, 1, 1, 3, 1, 0);
  image->SetPalette(palette);
  EXPECT_EQ(image->representativeCount, 2);
  image->GetPalette(out, percent);
  EXPECT_EQ(out.entries[0].blue, 3);
  EXPECT_EQ(percent[1], 1);
}

TEST(ImagePalette, PlaceholderIsWhiteOnABlackAndWhitePalette) {
  auto image = NewImage();
  image->MakePlaceholder();
  EXPECT_EQ(image->width, 64);
  EXPECT_EQ(image->height, 48);
  EXPECT_EQ(image->Row(47)[63], 1);
  EXPECT_EQ(image->bitmap.Colour(1).red, 255);
  EXPECT_EQ(image->bitmap.Colour(0).red, 0);
}

std::vector<std::uint8_t> PackedBitmap(int width, int height, int bits, int clr_used,
                                       int compression = 0) {
  TDib dib = TDib::Create(width, height, bits);
  std::vector<std::uint8_t> packed = dib.Release();
  packed[16] = static_cast<std::uint8_t>(compression);
  packed[32] = static_cast<std::uint8_t>(clr_used);
  packed[33] = static_cast<std::uint8_t>(clr_used >> 8);
  return packed;
}

int g_reader_calls = 0;
void CountingReader(TImage& image, std::span<const std::uint8_t> packed) {
  ++g_reader_calls;
  image.Create(3, 3, 1, 1, 1, 1, static_cast<std::uint8_t>(packed.size() & 0xFF));
}

TEST(ImageAdoptBitmap, TakesOverPlainBitmapsAndReadsTheOthers) {
  RegisterPackedBitmapReader(CountingReader);
  g_reader_calls = 0;
  auto image = NewImage();

  std::vector<std::uint8_t> plain = PackedBitmap(20, 10, 8, 256);
  const std::uint8_t* bits_before = plain.data() + 40 + 1024;
  ASSERT_TRUE(image->AdoptBitmap(TDib::FromPacked(std::move(plain))));
  EXPECT_EQ(g_reader_calls, 0);
  EXPECT_EQ(image->width, 20);
  EXPECT_EQ(image->bytesPerPixel, 1);
  EXPECT_EQ(image->rows[9], bits_before);  // the block itself, bottom-up
  EXPECT_EQ(image->viewRect.width, 20);

  // A 24-bit bitmap carrying a colour table is still 24-bit: it goes through the reader.
  ASSERT_TRUE(image->AdoptBitmap(TDib::FromPacked(PackedBitmap(8, 8, 24, 16))));
  EXPECT_EQ(g_reader_calls, 1);
  // Compressed, or too wide to keep unreduced.
  image->AdoptBitmap(TDib::FromPacked(PackedBitmap(8, 8, 8, 0, 1)));
  image->AdoptBitmap(TDib::FromPacked(PackedBitmap(3000, 2, 24, 0)));
  EXPECT_EQ(g_reader_calls, 3);

  // A block shorter than its header claims is never taken over.
  std::vector<std::uint8_t> cut = PackedBitmap(20, 10, 8, 0);
  cut.resize(cut.size() - 1);
  image->AdoptBitmap(TDib::FromPacked(std::move(cut)));
  EXPECT_EQ(g_reader_calls, 4);
  RegisterPackedBitmapReader(nullptr);
}

TEST(ImageAdoptBitmap, WithoutAReaderLeavesThePlaceholder) {
  RegisterPackedBitmapReader(nullptr);
  auto image = NewImage();
  EXPECT_FALSE(image->AdoptBitmap(TDib::FromPacked({1, 2, 3})));
  EXPECT_EQ(image->width, 64);
}

// Whether a packed bitmap can be taken over as it is, worked out from its
// header fields: 8 bits with 0 or 256 colours or 24 bits with none, not
// compressed, bottom-up, rows of at most 8192 bytes and 8192 rows, and all of
// its bits inside the block.
bool TakenOverAsItIs(const std::vector<std::uint8_t>& block) {
  if (block.size() < 40) return false;
  auto u32 = [&](std::size_t at) {
    return std::uint32_t{block[at]} | std::uint32_t{block[at + 1]} << 8 |
           std::uint32_t{block[at + 2]} << 16 | std::uint32_t{block[at + 3]} << 24;
  };
  const std::uint32_t header = u32(0);
  const auto width = static_cast<std::int32_t>(u32(4));
  const auto height = static_cast<std::int32_t>(u32(8));
  const int bits = block[14] | block[15] << 8;
  const std::uint32_t compression = u32(16);
  const std::uint32_t used = u32(32);
  if (header < 40 || header > block.size() || width <= 0 || height <= 0 || compression != 0) {
    return false;
  }
  if (!((bits == 8 && (used == 0 || used == 256)) || (bits == 24 && used == 0))) return false;
  const std::uint64_t stride = (std::uint64_t(width) * bits + 31) / 32 * 4;
  if (stride > 8192 || height > 8192) return false;
  const std::uint64_t table = bits == 8 ? 256 * 4 : 0;
  return header + table + stride * std::uint64_t(height) <= block.size();
}

TEST(ImageAdoptBitmap, HostileHeadersNeverReachOutsideTheBlock) {
  RegisterPackedBitmapReader(nullptr);
  std::mt19937 random(99);
  auto pick = [&](std::uint32_t lo, std::uint32_t hi) {
    return std::uniform_int_distribution<std::uint32_t>(lo, hi)(random);
  };
  auto image = NewImage();
  std::vector<std::uint8_t> row(3 * 8192);
  int taken_over = 0;
  for (int round = 0; round < 3000; ++round) {
    SCOPED_TRACE(round);
    std::vector<std::uint8_t> block(pick(0, 3000));
    for (auto& byte : block) byte = static_cast<std::uint8_t>(pick(0, 255));
    auto put = [&](std::size_t at, std::uint32_t value) {
      for (int i = 0; i < 4 && at + i < block.size(); ++i)
        block[at + i] = std::uint8_t(value >> (8 * i));
    };
    put(0, pick(0, 3) ? 40 : pick(0, 5000));
    put(4, pick(0, 1) ? pick(0, 64) : pick(0, 0xFFFFFFFF));
    put(8, pick(0, 1) ? pick(0, 64) : pick(0, 0xFFFFFFFF));
    put(14, pick(0, 1) ? (pick(0, 1) ? 8 : 24) : pick(0, 40));
    put(16, pick(0, 3) ? 0 : pick(0, 5));
    put(32, pick(0, 1) ? 0 : pick(0, 300));
    const TDib dib = TDib::FromPacked(block);
    for (int i = 0; i < dib.ColourTableEntries(); ++i) dib.Colour(i);
    const bool expected = TakenOverAsItIs(block);
    const std::vector<std::uint8_t> original = block;
    const bool adopted = image->AdoptBitmap(TDib::FromPacked(std::move(block)));
    ASSERT_EQ(adopted, expected);
    if (adopted) {
      ++taken_over;
      ASSERT_EQ(image->width, static_cast<int>(original[4] | original[5] << 8));
      ASSERT_EQ(image->height, static_cast<int>(original[8] | original[9] << 8));
    } else {
      // Without a packed reader the placeholder stays.
      ASSERT_EQ(image->width, 64);
      ASSERT_EQ(image->height, 48);
    }
    image->SetOutputSize(image->width, image->height, 1, 1, round & 7, true, true);
    const ImageBounds bounds = image->GetOutputRect();
    ASSERT_GE(bounds.left, 0);
    ASSERT_GE(bounds.top, 0);
    ASSERT_LE(bounds.right - bounds.left, 8192);
    ASSERT_LE(bounds.bottom - bounds.top, 8192);
    for (int y = bounds.top; y < bounds.bottom; ++y) {
      image->GetOutputRow(bounds.left, y, row.data(), bounds.right - bounds.left);
    }
  }
  // Both outcomes were tried many times.
  EXPECT_GT(taken_over, 20);
  EXPECT_LT(taken_over, 2980);
}

}  // namespace
