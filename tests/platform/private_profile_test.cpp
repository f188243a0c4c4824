#include "platform/private_profile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "support/child_process.h"
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
  std::size_t FilesInFolder() const { return FilesIn(dir_.path()); }
  static std::size_t FilesIn(const std::string& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
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

TEST_F(PrivateProfileTest, ManyKeysReadInOnePassAnswerAsSingleReadsDo) {
  ASSERT_TRUE(WriteFileText(file_,
                            "\xEF\xBB\xBF"
                            "[a]\r\n"
                            "x=1\r\n"
                            "[ Viewer ]\r\n"
                            " Key One = \"  quoted  \" \r\n"
                            "dup=first\r\n"
                            "DUP=second\r\n"
                            "; comment=no\r\n"
                            "empty=\r\n"
                            "[viewer]\r\n"
                            "late=ignored\r\n"));
  const std::vector<std::string_view> keys = {"key one", "dup",  "Dup", "; comment",
                                              "empty",   "late", "x",   "absent"};
  const auto values = GetPrivateProfileStrings("VIEWER", keys, file_);
  ASSERT_EQ(values.size(), keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(values[i].value_or("none"), Get("viewer", std::string(keys[i]).c_str())) << keys[i];
  }
  EXPECT_EQ(values[0], "  quoted  ");
  EXPECT_EQ(values[1], "first");
  EXPECT_EQ(values[2], "first") << "a key asked for twice";
  EXPECT_EQ(values[4], "") << "present but empty is not missing";
  EXPECT_FALSE(values[5].has_value());

  const std::vector<std::string_view> x = {"x"};
  EXPECT_EQ(GetPrivateProfileStrings("a", x, file_)[0], "1") << "the first line, past the mark";
  EXPECT_FALSE(GetPrivateProfileStrings("none", x, file_)[0].has_value());
  EXPECT_FALSE(GetPrivateProfileStrings("a", x, dir_.File("missing.ini"))[0].has_value());
  EXPECT_TRUE(GetPrivateProfileStrings("a", {}, file_).empty());
}

TEST_F(PrivateProfileTest, EntriesApplyInOnePassAsSingleWritesWould) {
  ASSERT_TRUE(WriteFileText(file_, "[a]\nKeep=1\nx=old\nX=duplicate\ny=2\n\n[b]\nx=other\n"));
  ASSERT_TRUE(WritePrivateProfileEntries("A",
                                         {{"new1", std::string("n")},
                                          {"X", std::string("first")},
                                          {"y", std::nullopt},
                                          {"new2", std::string("m")},
                                          {"x", std::string("last")},
                                          {"NEW1", std::string("again")}},
                                         file_));
  EXPECT_EQ(ReadFileText(file_),
            "[a]\nKeep=1\nx=last\nX=duplicate\nnew1=again\nnew2=m\n\n[b]\nx=other\n")
      << "the first of duplicates changes, keys keep their spelling, new keys keep their order";

  ASSERT_TRUE(
      WritePrivateProfileEntries("c", {{"k", std::nullopt}, {"j", std::string("1")}}, file_));
  EXPECT_EQ(ReadFileText(file_),
            "[a]\nKeep=1\nx=last\nX=duplicate\nnew1=again\nnew2=m\n\n[b]\nx=other\n\n[c]\nj=1\n");
}

TEST_F(PrivateProfileTest, ManyKeysAndAHugeLineReadAndWriteBack) {
  const std::string huge(4 << 20, 'h');
  std::string text = "[other]\nhuge=" + huge + "\n[a]\n";
  for (int i = 0; i < 50000; ++i)
    text += "key" + std::to_string(i) + "=" + std::to_string(i) + "\n";
  ASSERT_TRUE(WriteFileText(file_, text));
  const std::vector<std::string_view> keys = {"KEY49999", "huge", "key0", "key1"};
  const auto values = GetPrivateProfileStrings("a", keys, file_);
  EXPECT_EQ(values[0], "49999");
  EXPECT_FALSE(values[1].has_value());

  std::vector<ProfileEntry> entries;
  for (int i = 0; i < 50000; i += 2) entries.push_back({"key" + std::to_string(i), std::nullopt});
  entries.push_back({"key1", std::string("one")});
  ASSERT_TRUE(WritePrivateProfileEntries("a", entries, file_));
  const auto after = GetPrivateProfileStrings("a", keys, file_);
  EXPECT_FALSE(after[2].has_value());
  EXPECT_EQ(after[3], "one");
  EXPECT_EQ(after[0], "49999");
  EXPECT_EQ(Get("other", "huge"), huge);
  const std::string saved = ReadFileText(file_);
  EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 2 + 1 + 25000);
}

// Writes that fail keep the old file and leave no temporary file behind.
class FailingProfileWriteTest : public PrivateProfileTest {
 protected:
  void SetUp() override { ASSERT_TRUE(WriteFileText(file_, kOriginal)); }
  void ExpectOriginalAlone() {
    EXPECT_EQ(ReadFileText(file_), kOriginal);
    EXPECT_EQ(FilesInFolder(), 1u) << "a temporary file was left behind";
  }
  static constexpr const char* kOriginal = "[a]\nx=1\n";
};

TEST_F(FailingProfileWriteTest, AFullDiskKeepsTheOldFile) {
  const std::string file = file_;
  const int status = RunInChildProcess([&file] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{16, 16};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
    const std::string value(4096, 'v');
    return WritePrivateProfileString("a", "y", value.c_str(), file) ? 1 : 0;
  });
  EXPECT_EQ(status, 0) << "the write must report failure";
  ExpectOriginalAlone();
}

TEST_F(FailingProfileWriteTest, AReadOnlyFolderIsReported) {
  ASSERT_EQ(chmod(file_.c_str(), 0666), 0);
  ASSERT_EQ(chmod(dir_.path().c_str(), 0555), 0);
  const std::string file = file_;
  const int status = RunInChildProcess([&file] {
    if (!DropFileAccessPrivileges()) return 2;
    const bool single = WritePrivateProfileString("a", "y", "2", file);
    const bool several = WritePrivateProfileEntries("a", {{"z", std::string("3")}}, file);
    const bool section = WritePrivateProfileString("a", nullptr, nullptr, file);
    return single || several || section ? 1 : 0;
  });
  ASSERT_EQ(chmod(dir_.path().c_str(), 0700), 0);
  EXPECT_EQ(status, 0);
  ExpectOriginalAlone();
}

TEST_F(FailingProfileWriteTest, AnUnreadableFileIsNeverReplaced) {
  // The folder would let the write replace the file; only reading it is denied.
  ASSERT_EQ(chmod(file_.c_str(), 0), 0);
  ASSERT_EQ(chmod(dir_.path().c_str(), 0777), 0);
  const std::string file = file_;
  const int status = RunInChildProcess([&file] {
    if (!DropFileAccessPrivileges()) return 2;
    if (GetPrivateProfileString("a", "x", "default", file) != "default") return 3;
    const bool single = WritePrivateProfileString("a", "y", "2", file);
    const bool several = WritePrivateProfileEntries("a", {{"z", std::string("3")}}, file);
    const bool section = WritePrivateProfileString("a", nullptr, nullptr, file);
    return single || several || section ? 1 : 0;
  });
  ASSERT_EQ(chmod(dir_.path().c_str(), 0700), 0);
  ASSERT_EQ(chmod(file_.c_str(), 0600), 0);
  EXPECT_EQ(status, 0);
  ExpectOriginalAlone();
}

TEST_F(PrivateProfileTest, ANamedPipeInPlaceOfTheFileNeitherHangsNorIsReplaced) {
  ASSERT_EQ(mkfifo(file_.c_str(), 0600), 0);
  const std::string file = file_;
  const int status = RunInChildProcess([&file] {
    if (GetPrivateProfileString("a", "x", "default", file) != "default") return 3;
    const std::vector<std::string_view> keys = {"x"};
    if (GetPrivateProfileStrings("a", keys, file).front().has_value()) return 4;
    return WritePrivateProfileString("a", "x", "1", file) ? 1 : 0;
  });
  EXPECT_EQ(status, 0) << "-1: the child hung on the pipe";
  EXPECT_TRUE(std::filesystem::is_fifo(file_));
}

}  // namespace
