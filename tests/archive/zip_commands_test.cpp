#include "archive/zip_commands.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>

#include "archive_test_support.h"
#include "child_process.h"
#include "platform/log_sink.h"
#include "support/temp_dir.h"

namespace {

const std::vector<std::string> kAdvice = {
    "This file was produced by an old version of pkzip and can not",
    "be read by Zentrope.  Please press F1 and choose ZIP Utilities",
    "for information about utilities to read this file."};

TEST(ZipInfo, ListsSizesDatesAndReducedNames) {
  TempDir dir;
  ZipEntry big{"DIR/Sub/Pic.GIF", PatternBytes(1234567, 31), 0};
  ZipEntry old{"old.pcx", Bytes(12, 1), 6};
  old.dos_date = (119 << 9) | (12 << 5) | 31;  // 2099-12-31
  old.dos_time = (23 << 11) | (59 << 5);
  WriteFileBytes(dir.File("a.zip"), BuildZip({big, old, {"huge.bin", Bytes(12345678, 0), 8}}));
  LogCapture log;
  EXPECT_TRUE(ListZipArchive(dir.File("a.zip")));
  std::vector<std::string> expected = {
      "Zip Info for " + dir.File("a.zip"), "",
      "Length  Date     Time  Name",       "------- -------- ----- ------------",
      "1234567 03-05-01 14:07 pic.gif",    "     12 12-31-99 23:59 old.pcx",
      "12345678 03-05-01 14:07 huge.bin",  ""};
  expected.insert(expected.end(), kAdvice.begin(), kAdvice.end());
  expected.push_back("");
  EXPECT_EQ(log.lines, expected);
  EXPECT_FALSE(IsUtilityRunning());
}

TEST(ZipInfo, NonZipAndMissingFilesAreReported) {
  TempDir dir;
  WriteFileText(dir.File("text.txt"), "hello");
  LogCapture log;
  EXPECT_FALSE(ListZipArchive(dir.File("text.txt")));
  EXPECT_FALSE(ListZipArchive(dir.File("missing.zip")));
  const std::vector<std::string> expected = {"Zip Info for " + dir.File("text.txt"), "",
                                             "This file is not a zip file.", "",
                                             "Unable to open " + dir.File("missing.zip")};
  EXPECT_EQ(log.lines, expected);
}

TEST(ZipInfo, DoesNothingWhileAnotherUtilityRuns) {
  TempDir dir;
  WriteFileBytes(dir.File("a.zip"), BuildZip({{"x", Bytes(3, 1), 0}}));
  LogCapture log;
  SetUtilityRunning(true);
  EXPECT_FALSE(ListZipArchive(dir.File("a.zip")));
  EXPECT_FALSE(ExtractZipArchive(dir.File("a.zip"), ""));
  EXPECT_TRUE(IsUtilityRunning());
  SetUtilityRunning(false);
  EXPECT_TRUE(log.lines.empty());
  EXPECT_NE(access(dir.File("x").c_str(), F_OK), 0);
}

TEST(Unzip, ExtractsIntoTheTypedFolderWithMemberTimes) {
  TempDir dir;
  const Bytes picture = PatternBytes(300000, 32);
  WriteFileBytes(dir.File("a.zip"), BuildZip({{"DIR/Sub/Pic.GIF", picture, 8},
                                              {"Notes.TXT", Bytes(10, 'n'), 0},
                                              {"odd.bin", Bytes(4, 1), 6}}));
  mkdir(dir.File("out").c_str(), 0755);
  LogCapture log;
  // No trailing separator; the obsolete member fails the command.
  EXPECT_FALSE(ExtractZipArchive(dir.File("a.zip"), dir.File("out")));
  EXPECT_EQ(ReadFileBytes(dir.File("out/pic.gif")), picture);
  EXPECT_EQ(ReadFileBytes(dir.File("out/notes.txt")), Bytes(10, 'n'));
  std::vector<std::string> expected = {
      "Created " + dir.File("out/pic.gif"), "Created " + dir.File("out/notes.txt"),
      "Did not create " + dir.File("out/odd.bin") + " - obsolete compression type.", ""};
  expected.insert(expected.end(), kAdvice.begin(), kAdvice.end());
  expected.push_back("");
  EXPECT_EQ(log.lines, expected);
  // The member was stamped 2001-03-05 14:07 local time.
  struct stat info {};
  ASSERT_EQ(stat(dir.File("out/pic.gif").c_str(), &info), 0);
  std::tm local{};
  ASSERT_NE(localtime_r(&info.st_mtime, &local), nullptr);
  EXPECT_EQ(local.tm_year, 101);
  EXPECT_EQ(local.tm_mon, 2);
  EXPECT_EQ(local.tm_mday, 5);
  EXPECT_EQ(local.tm_hour, 14);
  EXPECT_EQ(local.tm_min, 7);
  EXPECT_EQ(local.tm_sec, 0);
}

// Sets the time zone for a scope.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) saved_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ScopedTimeZone() {
    if (saved_) {
      setenv("TZ", saved_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

 private:
  std::optional<std::string> saved_;
};

TEST(Unzip, MemberTimesAreLocalWallClockTimes) {
  ScopedTimeZone utc("UTC0");
  // 2001-03-05 14:07:58 and 1980-01-01 00:00:00 as seconds since 1970 in UTC.
  EXPECT_EQ(ZipMemberTime((21 << 9) | (3 << 5) | 5, (14 << 11) | (7 << 5) | 29), 983801278);
  EXPECT_EQ(ZipMemberTime((0 << 9) | (1 << 5) | 1, 0), 315532800);
  ScopedTimeZone east("XST-3");  // three hours ahead of UTC, no summer time
  EXPECT_EQ(ZipMemberTime((21 << 9) | (3 << 5) | 5, (14 << 11) | (7 << 5) | 29),
            983801278 - 3 * 3600);
}

TEST(Unzip, EmptyAnswerUsesTheArchiveFolderAndCancelDoesNothing) {
  TempDir dir;
  WriteFileBytes(dir.File("a.zip"), BuildZip({{"one.txt", Bytes(3, 'a'), 8}}));
  LogCapture log;
  EXPECT_TRUE(ExtractZipArchive(dir.File("a.zip"), std::nullopt));
  EXPECT_TRUE(log.lines.empty());
  EXPECT_TRUE(ExtractZipArchive(dir.File("a.zip"), ""));
  EXPECT_EQ(ReadFileBytes(dir.File("one.txt")), Bytes(3, 'a'));
}

TEST(Unzip, CorruptEncryptedAndUnsafeMembersAreNotReportedAsCreated) {
  TempDir dir;
  ZipEntry corrupt{"bad.gif", PatternBytes(5000, 33), 8};
  corrupt.corrupt_crc = true;
  ZipEntry stored_corrupt{"bad2.gif", PatternBytes(500, 34), 0};
  stored_corrupt.corrupt_crc = true;
  ZipEntry encrypted{"secret.gif", Bytes(20, 's'), 0};
  encrypted.flags = 1;
  WriteFileBytes(dir.File("a.zip"), BuildZip({corrupt,
                                              stored_corrupt,
                                              encrypted,
                                              {"dir/", {}, 0},
                                              {"x/..", Bytes(3, 'd'), 0},
                                              {"good.gif", Bytes(3, 'g'), 0}}));
  LogCapture log;
  EXPECT_FALSE(ExtractZipArchive(dir.File("a.zip"), ""));
  const std::string d = dir.path() + "/";
  const std::vector<std::string> expected = {
      "Error reading zip file, wrote a short file " + d + "bad.gif",
      "Error reading zip file, wrote a short file " + d + "bad2.gif",
      "Error reading zip file, wrote a short file " + d + "secret.gif",
      "Did not create " + d + ".. - unsafe file name.",
      "Created " + d + "good.gif",
      ""};
  EXPECT_EQ(log.lines, expected);
  EXPECT_EQ(FolderEntries(dir.path()), (std::vector<std::string>{"a.zip", "good.gif"}));
}

TEST(Unzip, NeverWritesThroughASymbolicLinkAndReportsTheFailure) {
  TempDir dir;
  WriteFileText(dir.File("target.txt"), "keep");
  ASSERT_EQ(symlink(dir.File("target.txt").c_str(), dir.File("pic.gif").c_str()), 0);
  WriteFileBytes(dir.File("a.zip"), BuildZip({{"pic.gif", Bytes(30, 'p'), 8}}));
  LogCapture log;
  EXPECT_FALSE(ExtractZipArchive(dir.File("a.zip"), ""));
  EXPECT_EQ(ReadFileText(dir.File("target.txt")), "keep");
  struct stat info {};
  ASSERT_EQ(lstat(dir.File("pic.gif").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  ASSERT_FALSE(log.lines.empty());
  EXPECT_EQ(log.lines.front(), "Error writing " + dir.File("pic.gif") + ", wrote a short file");
}

TEST(Unzip, NeverOverwritesTheArchiveBeingRead) {
  TempDir dir;
  const Bytes zip = BuildZip({{"sub/a.zip", Bytes(5000, 'a'), 8}, {"b.txt", Bytes(9, 'b'), 8}});
  WriteFileBytes(dir.File("a.zip"), zip);
  LogCapture log;
  EXPECT_FALSE(ExtractZipArchive(dir.File("a.zip"), ""));
  EXPECT_EQ(ReadFileBytes(dir.File("a.zip")), zip);
  ASSERT_FALSE(log.lines.empty());
  EXPECT_EQ(log.lines.front(),
            "Did not create " + dir.File("a.zip") + " - it is the file being read.");
  EXPECT_EQ(ReadFileBytes(dir.File("b.txt")), Bytes(9, 'b'));
}

TEST(Unzip, NonZipCreatesNothing) {
  TempDir dir;
  WriteFileText(dir.File("plain.zip"), "not a zip at all");
  LogCapture log;
  EXPECT_FALSE(ExtractZipArchive(dir.File("plain.zip"), ""));
  const std::vector<std::string> expected = {"This file is not a zip file.", ""};
  EXPECT_EQ(log.lines, expected);
  EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"plain.zip"});
}

TEST(Unzip, RunUnzipAsksForEachArchive) {
  TempDir dir;
  WriteFileBytes(dir.File("a.zip"), BuildZip({{"a.txt", Bytes(1, 'a'), 0}}));
  WriteFileBytes(dir.File("b.zip"), BuildZip({{"b.txt", Bytes(1, 'b'), 0}}));
  std::vector<std::string> asked;
  EXPECT_TRUE(RunUnzip(
      {dir.File("a.zip"), dir.File("b.zip")},
      [](const std::string& initial, void* context) -> std::optional<std::string> {
        static_cast<std::vector<std::string>*>(context)->push_back(initial);
        return std::string();
      },
      &asked));
  EXPECT_EQ(asked, std::vector<std::string>(2, dir.path() + "/"));
  EXPECT_EQ(ReadFileBytes(dir.File("b.txt")), Bytes(1, 'b'));
}

}  // namespace
