#include "platform/private_profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace {

class PrivateProfileTest : public ::testing::Test {
 protected:
  std::string Get(const char* section, const char* key, const char* fallback = "none") {
    return GetPrivateProfileString(section, key, fallback, file_);
  }
  bool Write(const char* section, const char* key, const char* value) {
    return WritePrivateProfileString(section, key, value, file_);
  }
  std::size_t FilesInFolder() const {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
      ++count;
    }
    return count;
  }

  TempDir dir_;
  std::string file_ = dir_.File("test.ini");
};

TEST_F(PrivateProfileTest, MissingFileSectionOrKeyGivesTheDefault) {
  EXPECT_EQ(Get("a", "b", " fallback  "), " fallback") << "trailing blanks of the default go";
  ASSERT_TRUE(WriteFileText(file_, "[a]\nb=1\n"));
  EXPECT_EQ(Get("x", "b"), "none");
  EXPECT_EQ(Get("a", "c"), "none");
  EXPECT_EQ(Get("a", "b"), "1");
}

TEST_F(PrivateProfileTest, ReadsHandWrittenFiles) {
  ASSERT_TRUE(WriteFileText(file_,
                            "stray=before any section\n"
                            "; comment=not a key\n"
                            "  [ Viewer ]  \n"
                            "\tSpaced Key\t=  value with  inner  blanks \t\n"
                            "quoted=\"  kept  \"\n"
                            "single='x'\n"
                            "mismatched=\"x'\n"
                            "empty=\n"
                            "noequals\n"
                            "dup=first\n"
                            "DUP=second\n"
                            "[viewer]\n"
                            "late=from the duplicate section\n"));
  EXPECT_EQ(Get("VIEWER", "spaced key"), "value with  inner  blanks");
  EXPECT_EQ(Get("viewer", "quoted"), "  kept  ");
  EXPECT_EQ(Get("viewer", "single"), "x");
  EXPECT_EQ(Get("viewer", "mismatched"), "\"x'");
  EXPECT_EQ(Get("viewer", "empty"), "");
  EXPECT_EQ(Get("viewer", "noequals"), "none");
  EXPECT_EQ(Get("viewer", "dup"), "first");
  EXPECT_EQ(Get("viewer", "late"), "none");
  EXPECT_EQ(Get("viewer", "; comment"), "none");
  EXPECT_EQ(Get("", "stray"), "none");
}

TEST_F(PrivateProfileTest, WritingCreatesFileAndSectionAndKeepsOtherLines) {
  ASSERT_TRUE(Write("Viewer", "Effect", "3"));
  EXPECT_EQ(ReadFileText(file_), "[Viewer]\nEffect=3\n");

  ASSERT_TRUE(
      WriteFileText(file_, "; settings\n[viewer]\n  effect = 3 \n; keep me\n\n[other]\nx=1\n"));
  ASSERT_TRUE(Write("VIEWER", "EFFECT", "4"));
  ASSERT_TRUE(Write("viewer", "Invert", "1"));
  ASSERT_TRUE(Write("third", "k", "v"));
  EXPECT_EQ(
      ReadFileText(file_),
      "; settings\n[viewer]\neffect=4\n; keep me\nInvert=1\n\n[other]\nx=1\n\n[third]\nk=v\n");
}

TEST_F(PrivateProfileTest, NullOrEmptyValueDeletesTheKeyAndNullKeyTheSection) {
  ASSERT_TRUE(WriteFileText(file_, "[a]\nx=1\ny=2\nz=3\n[b]\nw=4\n"));
  ASSERT_TRUE(Write("a", "X", nullptr));
  ASSERT_TRUE(Write("a", "y", ""));
  ASSERT_TRUE(Write("a", "missing", nullptr));
  ASSERT_TRUE(Write("nosection", "k", ""));
  EXPECT_EQ(ReadFileText(file_), "[a]\nz=3\n[b]\nw=4\n");
  ASSERT_TRUE(Write("A", nullptr, nullptr));
  EXPECT_EQ(ReadFileText(file_), "[b]\nw=4\n");
}

TEST_F(PrivateProfileTest, ReadsPastAByteOrderMarkAndKeepsIt) {
  ASSERT_TRUE(WriteFileText(file_, "\xEF\xBB\xBF[a]\nx=1\n"));
  EXPECT_EQ(Get("a", "x"), "1");
  ASSERT_TRUE(Write("a", "y", "2"));
  EXPECT_EQ(ReadFileText(file_), "\xEF\xBB\xBF[a]\nx=1\ny=2\n");
}

TEST_F(PrivateProfileTest, KeepsCarriageReturnLineEnds) {
  ASSERT_TRUE(WriteFileText(file_, "[a]\r\nx=1\r\n"));
  EXPECT_EQ(Get("a", "x"), "1");
  ASSERT_TRUE(Write("a", "y", "2"));
  EXPECT_EQ(ReadFileText(file_), "[a]\r\nx=1\r\ny=2\r\n");
}

TEST_F(PrivateProfileTest, RefusesTextThatWouldInjectLines) {
  ASSERT_TRUE(Write("a", "x", "1"));
  EXPECT_FALSE(Write("a", "x", "2\n[evil]\nPassword=0"));
  EXPECT_FALSE(Write("a", "x=y", "2"));
  EXPECT_FALSE(Write("a", "x\ny", "2"));
  EXPECT_FALSE(Write("a]\n[b", "x", "2"));
  EXPECT_FALSE(Write("a", "", "2"));
  EXPECT_EQ(ReadFileText(file_), "[a]\nx=1\n");

  const bool all = WritePrivateProfileEntries(
      "a", {{"good", std::string("1")}, {"bad\r", std::string("2")}, {"x", std::nullopt}}, file_);
  EXPECT_FALSE(all) << "a refused entry is reported";
  EXPECT_EQ(ReadFileText(file_), "[a]\ngood=1\n") << "the acceptable entries still apply";
}

TEST_F(PrivateProfileTest, WritesAtomicallyAndOnlyWhenSomethingChanges) {
  ASSERT_TRUE(Write("a", "gone", nullptr));
  EXPECT_EQ(FilesInFolder(), 0u) << "deleting from a missing file creates nothing";
  ASSERT_TRUE(Write("a", "x", "1"));
  const auto before = std::filesystem::last_write_time(file_);
  ASSERT_TRUE(Write("a", "x", "1"));
  EXPECT_EQ(std::filesystem::last_write_time(file_), before);
  EXPECT_EQ(FilesInFolder(), 1u) << "no temporary file is left behind";

  std::filesystem::permissions(
      file_, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  ASSERT_TRUE(Write("a", "y", "2"));
  EXPECT_EQ(std::filesystem::status(file_).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

  EXPECT_FALSE(WritePrivateProfileString("a", "x", "1", dir_.File("no/such/folder/x.ini")));
}

TEST_F(PrivateProfileTest, WritesThroughASymbolicLink) {
  ASSERT_TRUE(WriteFileText(dir_.File("real.ini"), "[a]\nx=1\n"));
  std::filesystem::create_symlink("real.ini", file_);
  ASSERT_TRUE(Write("a", "y", "2"));
  EXPECT_TRUE(std::filesystem::is_symlink(file_));
  EXPECT_EQ(ReadFileText(dir_.File("real.ini")), "[a]\nx=1\ny=2\n");
}

}  // namespace
