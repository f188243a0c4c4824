#include "archive/safe_name.h"

#include <gtest/gtest.h>

namespace {

TEST(SafeName, TerminalControlsBecomeUnderscores) {
  EXPECT_EQ(ReplaceControlBytes("a\x1b[31mred\x07\t\x7f.gif"), "a_[31mred___.gif");
  // C1 controls: as UTF-8 (U+009B) and as a lone byte of an 8-bit terminal.
  EXPECT_EQ(ReplaceControlBytes("x\xc2\x9b"
                                "2Jy\x9b"
                                "z"),
            "x_2Jy_z");
  EXPECT_EQ(ReplaceControlBytes(std::string_view("n\0ul", 4)), "n_ul");
}

TEST(SafeName, TextThatIsNotControlIsKept) {
  // UTF-8 letters, a no-break space (U+00A0), a four-byte character, Latin-1.
  EXPECT_EQ(ReplaceControlBytes("caf\xc3\xa9 \xc2\xa0\xf0\x9f\x98\x80"),
            "caf\xc3\xa9 \xc2\xa0\xf0\x9f\x98\x80");
  EXPECT_EQ(ReplaceControlBytes("caf\xe9.gif"), "caf\xe9.gif");
  // A sequence cut short: its lead byte is Latin-1, the stray 0x82 a control.
  EXPECT_EQ(ReplaceControlBytes("\xe2\x82\x1b"), "\xe2__");
}

TEST(SafeName, ReducedNamesDropFoldersAndRefuseDots) {
  EXPECT_EQ(ReduceToSafeFileName("/etc/deep/Pic.GIF"), "Pic.GIF");
  EXPECT_EQ(ReduceToSafeFileName("a\\b\\c\x1b.txt"), "c_.txt");
  EXPECT_EQ(ReduceToSafeFileName(".."), "");
  EXPECT_EQ(ReduceToSafeFileName("x/."), "");
  EXPECT_EQ(ReduceToSafeFileName("dir/"), "");
}

}  // namespace
