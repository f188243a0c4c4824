#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "formats/bmp_format.h"
#include "gif_bmp_pictures.h"
#include "image/picture_formats.h"
#include "settings/profile.h"
#include "support/temp_dir.h"

namespace {

using namespace gif_bmp_test;

std::uint32_t U32At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

class WriteBmpTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterBmpFormat(); }

  int Write(TImage& image, const LogPalette* display = nullptr) {
    if (display == nullptr) NeutralDither(dither_, image);
    return WriteBmp(path_, image, settings_, dither_, display);
  }
  std::vector<std::uint8_t> Written() const { return ReadFileBytes(path_); }

  TempDir dir_;
  std::string path_ = dir_.File("out.bmp");
  TProfile settings_;
  TDither dither_;
  std::unique_ptr<TImage> picture_ = std::make_unique<TImage>();
  std::unique_ptr<TImage> loaded_ = std::make_unique<TImage>();
};

TEST_F(WriteBmpTest, HeaderFieldsOfAPalettePicture) {
  MakePalettePicture(*picture_, 100, 100, 256);
  ASSERT_EQ(Write(*picture_), 0);
  const auto bytes = Written();
  ASSERT_EQ(bytes.size(), 11078u);
  EXPECT_EQ(bytes[0], 'B');
  EXPECT_EQ(bytes[1], 'M');
  EXPECT_EQ(U32At(bytes, 2), 11078u);  // the size in bytes, not in 4-byte units
  EXPECT_EQ(U32At(bytes, 10), 1078u);
  EXPECT_EQ(U32At(bytes, 14), 40u);
  EXPECT_EQ(U32At(bytes, 22), 100u);  // positive height: bottom-up
  EXPECT_EQ(bytes[28], 8);
  EXPECT_EQ(U32At(bytes, 30), 0u);  // no compression
  EXPECT_EQ(U32At(bytes, 34), 10000u);
  EXPECT_EQ(U32At(bytes, 38), 2835u);
  EXPECT_EQ(U32At(bytes, 42), 2835u);
  EXPECT_EQ(U32At(bytes, 46), 256u);
}

TEST_F(WriteBmpTest, PicturesRoundTripWithPaddedRows) {
  MakePalettePicture(*picture_, 37, 19, 77);
  ASSERT_EQ(Write(*picture_), 0);
  EXPECT_EQ(LoadImage(path_, *loaded_, nullptr), "bmp");
  EXPECT_TRUE(SameRgb(PictureRgb(*loaded_), PictureRgb(*picture_)));
  EXPECT_EQ(Written().size(), 14u + 40 + 4 * 77 + 40 * 19);

  MakeColourPicture(*picture_, 33, 17);
  ASSERT_EQ(Write(*picture_), 0);
  LoadImage(path_, *loaded_, nullptr);
  ASSERT_EQ(loaded_->GetBytesPerPixel(), 3);
  EXPECT_TRUE(SameRgb(PictureRgb(*loaded_), PictureRgb(*picture_)));
  EXPECT_EQ(Written().size(), 54u + 100 * 17);
}

TEST_F(WriteBmpTest, RotationAndAdjustmentsApplyToTheWrittenRows) {
  MakeColourPicture(*picture_, 40, 20);
  settings_.Set(IntKey::Rotate, 1);  // transposed
  NeutralDither(dither_, *picture_);
  dither_.SetSource(nullptr, false, true, kNeutralTone, kNeutralTone, true);  // inverted
  ASSERT_EQ(WriteBmp(path_, *picture_, settings_, dither_, nullptr), 0);
  LoadImage(path_, *loaded_, nullptr);
  ASSERT_EQ(loaded_->width, 20);
  ASSERT_EQ(loaded_->height, 40);
  for (int x = 0; x < 40; x += 7) {
    for (int y = 0; y < 20; y += 5) {
      for (int c = 0; c < 3; ++c)
        EXPECT_EQ(loaded_->Row(x)[3 * y + c], 255 - picture_->Row(y)[3 * x + c]);
    }
  }
}

TEST_F(WriteBmpTest, WallpaperTakesTheScreenSizeDepthAndPalette) {
  SetWallpaperScreen({64, 64, 8});
  MakeColourPicture(*picture_, 80, 40);
  LogPalette display;
  display.count = 4;
  display.entries[1] = PaletteEntry{255, 0, 0, 0};
  display.entries[2] = PaletteEntry{0, 255, 0, 0};
  display.entries[3] = PaletteEntry{255, 255, 255, 0};
  dither_.SetSource(nullptr, false, true, kNeutralTone, kNeutralTone, false);
  dither_.SetTarget(display);
  ASSERT_EQ(Write(*picture_, &display), 0);
  const auto bytes = Written();
  ASSERT_EQ(bytes.size(), 54u + 16 + 64 * 32);
  EXPECT_EQ(U32At(bytes, 18), 64u);
  EXPECT_EQ(U32At(bytes, 22), 32u);  // the picture's proportions within the screen
  EXPECT_EQ(bytes[28], 8);
  EXPECT_EQ(U32At(bytes, 46), 4u);
  for (std::size_t i = 70; i < bytes.size(); ++i) ASSERT_LT(bytes[i], 4) << i;
  SetWallpaperScreen({});
}

TEST_F(WriteBmpTest, FailedOrCancelledWritesLeaveNoFile) {
  MakePalettePicture(*picture_, 64, 64, 16);
  NeutralDither(dither_, *picture_);
  EXPECT_EQ(WriteBmp(dir_.File("missing/out.bmp"), *picture_, settings_, dither_, nullptr), 1);
  const int result = format_test::WhileCancelling([&] { return Write(*picture_); });
  EXPECT_EQ(result, 1);
  EXPECT_FALSE(std::filesystem::exists(path_));
  EXPECT_TRUE(std::filesystem::is_empty(dir_.path()));
}

}  // namespace
