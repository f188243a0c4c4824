// A cancelled JPEG or TIFF save reports failure and leaves the file it would
// have replaced as it was.
#include <gtest/gtest.h>

#include "jpeg_tiff_support.h"

namespace {

class JpegTiffCancel : public pcx_tga_test::FormatTest {};

TEST_F(JpegTiffCancel, CancelledSaveKeepsTheOldFile) {
  auto image = std::make_unique<TImage>();
  pcx_tga_test::MakeColourPicture(*image, 64, 64);
  for (const char* name : {"old.jpg", "old.tif"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(WriteFileText(files_.File(name), "the old picture"));
    const int result = format_test::WhileCancelling([&] { return Save(name, *image); });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(ReadFileText(files_.File(name)), "the old picture");
    EXPECT_EQ(Save(name, *image), 0);
    EXPECT_NE(ReadFileText(files_.File(name)), "the old picture");
  }
}

}  // namespace
