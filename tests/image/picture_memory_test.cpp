#include "image/picture_memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "image/image.h"

namespace {

constexpr std::uintptr_t kHugePage = TPictureMemory::kLargeBlock;
// 24-bit pictures whose bitmaps are well over 2 MiB (about 5.5 MiB).
constexpr int kLargeWidth = 1600;
constexpr int kLargeHeight = 1200;

class PictureMemoryTest : public ::testing::Test {
 protected:
  void SetUp() override { TPictureMemory::ReleaseSpare(); }
  void TearDown() override {
    TDib::SetBitmapMemoryLimit(0);
    TPictureMemory::ReleaseSpare();
  }

  // Every byte of every stored row, padding included, equals `value`.
  static bool RowsHold(const TImage& image, std::uint8_t value) {
    for (int r = 0; r < image.height; ++r) {
      const std::uint8_t* row = image.Row(r);
      if (row == nullptr) return false;
      if (std::any_of(row, row + image.Stride(), [value](std::uint8_t b) { return b != value; }))
        return false;
    }
    return true;
  }

  static void Scribble(TImage& image, std::uint8_t value) {
    for (int r = 0; r < image.height; ++r) std::memset(image.Row(r), value, image.Stride());
  }
};

TEST_F(PictureMemoryTest, LargeBitmapsAreHugePageAlignedAndSmallOnesOrdinary) {
  const TDib large = TDib::Create(kLargeWidth, kLargeHeight, 24);
  ASSERT_FALSE(large.Empty());
  EXPECT_TRUE(large.IsLargeBlock());
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(large.Packed().data()) % kHugePage, 0u);
  ASSERT_NE(large.Bits(), nullptr);
  const std::uint8_t* bits = large.Bits();
  const std::size_t bits_size = static_cast<std::size_t>(large.Stride()) * kLargeHeight;
  EXPECT_TRUE(std::all_of(bits, bits + bits_size, [](std::uint8_t b) { return b == 0; }));

  const TDib small = TDib::Create(100, 100, 8);
  ASSERT_FALSE(small.Empty());
  EXPECT_FALSE(small.IsLargeBlock());
}

TEST_F(PictureMemoryTest, ANewPictureReusesThePreviousBitmapButNeverItsPixels) {
  auto image = std::make_unique<TImage>();
  image->Create(kLargeWidth, kLargeHeight, 1, 1, 3, 1, 0);
  const std::uint8_t* first = image->bitmap.Packed().data();
  Scribble(*image, 0xAB);

  // Through the load placeholder, as every load goes.
  image->MakePlaceholder();
  image->Create(kLargeWidth - 1, kLargeHeight, 1, 1, 3, 1, 0);
  EXPECT_EQ(image->bitmap.Packed().data(), first) << "the bitmap block is reused";
  EXPECT_TRUE(RowsHold(*image, 0));

  Scribble(*image, 0xCD);
  image->Create(kLargeWidth, kLargeHeight, 1, 1, 1, 1, 7);
  EXPECT_TRUE(RowsHold(*image, 7));
  LogPalette palette;
  image->GetPalette(palette, nullptr);
  EXPECT_EQ(palette.entries[200].red, 200) << "the grey palette, not the old pixels";

  // A destroyed picture's block serves the next picture too.
  Scribble(*image, 0xEF);
  image.reset();
  TImage next;
  next.Create(kLargeWidth, kLargeHeight, 1, 1, 3, 1, 0);
  EXPECT_TRUE(RowsHold(next, 0));
}

TEST_F(PictureMemoryTest, ACallerThatStoresEveryPixelGetsClearPaddingAndFillsWhatItSkipped) {
  TImage image;
  // 1201 pixels of 3 bytes leave 1 byte of padding per row.
  image.Create(1201, kLargeHeight, 1, 1, 3, 1, 0);
  Scribble(image, 0x5A);
  image.Create(1201, kLargeHeight, 1, 1, 3, 1, 9, TImage::RowFill::kCallerStoresEveryPixel);
  ASSERT_EQ(image.Stride(), 3604);
  for (int r = 0; r < image.height; r += 97) ASSERT_EQ(image.Row(r)[3603], 0) << r;
  EXPECT_EQ(image.scratchRow[0], 9) << "rows past the picture still read the fill";

  // A reader that stops early fills what it did not store.
  image.FillRows(kLargeHeight - 2, kLargeHeight + 5);
  image.FillRows(-3, 1);
  for (int r : {0, kLargeHeight - 2, kLargeHeight - 1}) {
    EXPECT_TRUE(std::all_of(image.Row(r), image.Row(r) + image.Stride(), [](std::uint8_t b) {
      return b == 9;
    })) << r;
  }
  EXPECT_EQ(image.Row(1)[0], 0x5A) << "rows outside the range are left alone";
}

TEST_F(PictureMemoryTest, TheMemoryLimitStillReducesLargePictures) {
  TDib::SetBitmapMemoryLimit(3 << 20);
  TImage image;
  image.Create(kLargeWidth, kLargeHeight, 1, 1, 3, 1, 0);
  EXPECT_EQ(image.reduction, 2);
  EXPECT_EQ(image.width, kLargeWidth / 2);
  EXPECT_FALSE(image.bitmap.Empty());
  EXPECT_TRUE(RowsHold(image, 0));
}

TEST_F(PictureMemoryTest, ALargeBitmapHandsOutItsBytesWhole) {
  TDib dib = TDib::Create(kLargeWidth, kLargeHeight, 8);
  ASSERT_NE(dib.Bits(), nullptr);
  dib.SetColour(3, PaletteEntry{1, 2, 3, 0});
  dib.Bits()[0] = 42;
  const std::vector<std::uint8_t> before(dib.Packed().begin(), dib.Packed().end());
  std::vector<std::uint8_t> released = dib.Release();
  EXPECT_TRUE(dib.Empty());
  EXPECT_EQ(released, before);

  TImage image;
  ASSERT_TRUE(image.AdoptBitmap(TDib::FromPacked(std::move(released))));
  EXPECT_EQ(image.width, kLargeWidth);
  EXPECT_EQ(image.Row(kLargeHeight - 1)[0], 42) << "the bottom-up bitmap's first byte";
}

TEST_F(PictureMemoryTest, AKeptBlockTooLargeForTheNextPictureIsNotTaken) {
  TImage image;
  image.Create(2700, 8000, 1, 1, 3, 1, 0);  // about 62 MiB
  const std::uint8_t* big = image.bitmap.Packed().data();
  image.Create(kLargeWidth, kLargeHeight, 1, 1, 3, 1, 0);
  EXPECT_NE(image.bitmap.Packed().data(), big);
  EXPECT_TRUE(image.bitmap.IsLargeBlock());
  EXPECT_TRUE(RowsHold(image, 0));
}

}  // namespace
