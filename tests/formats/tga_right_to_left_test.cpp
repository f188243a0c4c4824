// Targa files stored right to left (descriptor bit 4), from the top or the
// bottom, raw or run-length coded, are shown the right way round, as
// ImageMagick shows them once it turns them by their origin (-auto-orient).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "formats/tga.h"
#include "gif_bmp_pictures.h"
#include "image/picture_formats.h"
#include "support/peer_tools.h"
#include "support/temp_dir.h"

namespace {

using namespace gif_bmp_test;
using Bytes = std::vector<std::uint8_t>;

constexpr int kWidth = 19;
constexpr int kHeight = 17;

Bytes Header(int image_type, int depth, int descriptor, bool colour_map) {
  Bytes out(18, 0);
  out[1] = colour_map ? 1 : 0;
  out[2] = static_cast<std::uint8_t>(image_type);
  out[5] = colour_map ? 1 : 0;  // colour map length
  out[7] = colour_map ? 24 : 0;
  out[12] = kWidth;
  out[14] = kHeight;
  out[16] = static_cast<std::uint8_t>(depth);
  out[17] = static_cast<std::uint8_t>(descriptor);
  return out;
}

// The pixel at file position x of file row y: bytes of `depth` bits.
Bytes FilePixel(int x, int y, int depth) {
  if (depth == 8) return {std::uint8_t((x * 13 + y * 7) % 256)};
  return {std::uint8_t(x * 12), std::uint8_t(y * 15), std::uint8_t((x * y) % 256)};
}

// Raw rows, or every row as a run of its first two pixels followed by a raw
// packet of the rest, so packets are read across the reversal.
Bytes Pixels(int depth, bool run_length) {
  Bytes out;
  for (int y = 0; y < kHeight; ++y) {
    if (!run_length) {
      for (int x = 0; x < kWidth; ++x) {
        const Bytes p = FilePixel(x, y, depth);
        out.insert(out.end(), p.begin(), p.end());
      }
      continue;
    }
    const Bytes first = FilePixel(0, y, depth);
    out.push_back(0x81);
    out.insert(out.end(), first.begin(), first.end());
    out.push_back(kWidth - 3);
    for (int x = 2; x < kWidth; ++x) {
      const Bytes p = FilePixel(x, y, depth);
      out.insert(out.end(), p.begin(), p.end());
    }
  }
  return out;
}

class TgaRightToLeftTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterTgaFormat(); }
  TempDir dir_;
};

TEST_F(TgaRightToLeftTest, RowsStoredFromTheRightAreMirroredIntoPlace) {
  REQUIRE_PEER_TOOL("convert");
  const struct {
    int type;
    int depth;
    bool run_length;
  } kinds[] = {{2, 24, false}, {10, 24, true}, {3, 8, false}, {11, 8, true}};
  for (const auto& kind : kinds) {
    for (int top : {0, 0x20}) {
      SCOPED_TRACE(std::to_string(kind.type) + "/" + std::to_string(kind.depth) + "/" +
                   std::to_string(top));
      Bytes file = Header(kind.type, kind.depth, 0x10 | top, false);
      const Bytes pixels = Pixels(kind.depth, kind.run_length);
      file.insert(file.end(), pixels.begin(), pixels.end());
      const std::string path = dir_.File("rtl.tga");
      ASSERT_TRUE(WriteFileBytes(path, file));

      TImage image;
      ASSERT_EQ(LoadImage(path, image, nullptr), "tga");
      EXPECT_TRUE(SameRgb(PictureRgb(image), MagickRgb(path, "-auto-orient")));

      // The same file without the bit is the mirror image, as stored.
      file[17] = static_cast<std::uint8_t>(top);
      ASSERT_TRUE(WriteFileBytes(path, file));
      TImage plain;
      ASSERT_EQ(LoadImage(path, plain, nullptr), "tga");
      EXPECT_TRUE(SameRgb(PictureRgb(plain), MagickRgb(path, "-auto-orient")));
    }
  }
}

TEST_F(TgaRightToLeftTest, ColourMappedRowsTurnTheirIndicesToo) {
  REQUIRE_PEER_TOOL("convert");
  Bytes file = Header(1, 8, 0x10, true);
  // Replace the one-entry map announced above by a full 256-entry one.
  file[5] = 0;
  file[6] = 1;
  for (int i = 0; i < 256; ++i) {
    file.insert(file.end(), {std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t(i * 3)});
  }
  const Bytes pixels = Pixels(8, false);
  file.insert(file.end(), pixels.begin(), pixels.end());
  const std::string path = dir_.File("mapped.tga");
  ASSERT_TRUE(WriteFileBytes(path, file));
  TImage image;
  ASSERT_EQ(LoadImage(path, image, nullptr), "tga");
  EXPECT_TRUE(SameRgb(PictureRgb(image), MagickRgb(path, "-auto-orient")));
}

}  // namespace
