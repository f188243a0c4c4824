// Decode and Encode when things go wrong: a full disk, an unwritable folder,
// output named like the input, pipes where files were expected. An existing
// file is never replaced by a short one, and no half-written file is left.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "archive/decode.h"
#include "archive/encode.h"
#include "archive_test_support.h"
#include "child_process.h"
#include "support/temp_dir.h"

namespace {

// A complete single-file encoding of `data` as "begin 644 `name`".
std::string EncodeToText(const TempDir& dir, const std::string& name, const Bytes& data) {
  WriteFileBytes(dir.File("source.tmp"), data);
  EXPECT_TRUE(TEncode(32767).Encode(dir.File("source.tmp")));
  std::string text = ReadFileText(dir.File("source.uu1"));
  unlink(dir.File("source.tmp").c_str());
  unlink(dir.File("source.uu1").c_str());
  const std::size_t begin = text.find("begin 644 source.tmp\n");
  EXPECT_NE(begin, std::string::npos);
  return text.replace(begin, 21, "begin 644 " + name + "\n");
}

TEST(EncodeSafety, NeverEncodesOntoItsOwnInput) {
  TempDir dir;
  const Bytes original = PatternBytes(5000, 61);
  WriteFileBytes(dir.File("x.uu1"), original);
  LogCapture log;
  EXPECT_FALSE(TEncode(400).Encode(dir.File("x.uu1")));
  EXPECT_EQ(ReadFileBytes(dir.File("x.uu1")), original);
  EXPECT_TRUE(
      log.Contains("Did not create " + dir.File("x.uu1") + " - it is the file being read."));
  EXPECT_FALSE(log.Contains("Created " + dir.File("x.uu1")));

  // The input as a later section: the sections before it are not left behind.
  const Bytes third = PatternBytes(30000, 62);  // 3 sections of 100 lines
  WriteFileBytes(dir.File("y.uu3"), third);
  EXPECT_FALSE(TEncode(100).Encode(dir.File("y.uu3")));
  EXPECT_EQ(ReadFileBytes(dir.File("y.uu3")), third);
  EXPECT_EQ(FolderEntries(dir.path()), (std::vector<std::string>{"x.uu1", "y.uu3"}));
}

TEST(EncodeSafety, FullDiskLeavesNoSectionAndKeepsTheOldSet) {
  TempDir dir;
  WriteFileBytes(dir.File("big.bin"), PatternBytes(200000, 63));
  WriteFileText(dir.File("big.uu1"), "old section");
  const int status = RunInChild(WithFileSizeLimit(20000), [&] {
    LogCapture log;
    const bool encoded = TEncode(400).Encode(dir.File("big.bin"));
    const bool said = log.Contains("Error writing " + dir.File("big.uu1") + " - File too large.");
    return encoded ? 1 : said ? 0 : 2;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ReadFileText(dir.File("big.uu1")), "old section");
  EXPECT_EQ(FolderEntries(dir.path()), (std::vector<std::string>{"big.bin", "big.uu1"}));
}

TEST(DecodeSafety, FullDiskKeepsTheOldFileAndReportsTheFailure) {
  TempDir dir;
  const Bytes data = PatternBytes(200000, 64);
  WriteFileText(dir.File("big.uue"), EncodeToText(dir, "big.bin", data));
  WriteFileText(dir.File("big.bin"), "the old file");
  const int status = RunInChild(WithFileSizeLimit(102400), [&] {
    LogCapture log;
    TDecode decode;
    decode.Decode(dir.File("big.uue"));
    decode.Finish();
    const bool said = log.Contains("Error writing " + dir.File("big.bin") + " - File too large.");
    return decode.failed() && decode.completed() == 0 && said ? 0 : 1;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ReadFileText(dir.File("big.bin")), "the old file");
  EXPECT_EQ(FolderEntries(dir.path()), (std::vector<std::string>{"big.bin", "big.uue"}));
}

TEST(DecodeSafety, UnwritableFolderIsReportedAsSuch) {
  TempDir dir;
  ASSERT_EQ(mkdir(dir.File("ro").c_str(), 0755), 0);
  WriteFileText(dir.File("ro/pic.uue"), "begin 644 pic.gif\n#86)C\n`\nend\n");
  ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
  ASSERT_EQ(chmod(dir.File("ro").c_str(), 0555), 0);
  const int status = RunInChild(AsUnprivilegedUser(), [&] {
    // A $TMPDIR that only root may enter leaves nothing to try.
    if (access(dir.File("ro/pic.uue").c_str(), R_OK) != 0) return kCannotDropPrivileges;
    LogCapture log;
    TDecode decode;
    decode.Decode(dir.File("ro/pic.uue"));
    decode.Finish();
    const bool said =
        log.Contains("Did not create " + dir.File("ro/pic.gif") + " - Permission denied.");
    return decode.failed() && said ? 0 : 1;
  });
  chmod(dir.File("ro").c_str(), 0755);
  if (status == kCannotDropPrivileges) GTEST_SKIP() << "cannot run as an unprivileged user";
  EXPECT_EQ(status, 0);
  EXPECT_EQ(FolderEntries(dir.File("ro")), std::vector<std::string>{"pic.uue"});
}

TEST(DecodeSafety, ShortOrRefusedDecodesLeaveExistingFilesAlone) {
  TempDir dir;
  // Part 1 names part 2 of its own set, which is still to be read.
  const std::string encoded = EncodeToText(dir, "self.uu2", PatternBytes(900, 65));
  const std::size_t cut = encoded.find('\n', encoded.find("begin")) + 1 + 62 * 5;
  WriteFileText(dir.File("self.uu1"), encoded.substr(0, cut));
  WriteFileText(dir.File("self.uu2"), encoded.substr(cut));
  // A set whose end never arrives, over a complete earlier file.
  WriteFileText(dir.File("cut.uue"),
                EncodeToText(dir, "cut.bin", PatternBytes(4500, 66)).substr(0, 62 * 50));
  WriteFileText(dir.File("cut.bin"), "complete earlier file");
  LogCapture log;
  TDecode decode;
  decode.Decode(dir.File("self.uu1"));
  decode.Decode(dir.File("cut.uue"));
  decode.Finish();
  EXPECT_TRUE(decode.failed());
  EXPECT_EQ(decode.completed(), 0);
  EXPECT_EQ(ReadFileText(dir.File("self.uu2")), encoded.substr(cut));
  EXPECT_TRUE(
      log.Contains("Did not create " + dir.File("self.uu2") + " - it is the file being read."));
  EXPECT_EQ(ReadFileText(dir.File("cut.bin")), "complete earlier file");
  ASSERT_FALSE(log.lines.empty());
  EXPECT_EQ(log.lines.back(), "Error decoding, wrote a short file");
  EXPECT_EQ(FolderEntries(dir.path()),
            (std::vector<std::string>{"cut.bin", "cut.uue", "self.uu1", "self.uu2"}));
}

TEST(DecodeSafety, PipesAreNeitherReadNorWritten) {
  TempDir dir;
  ASSERT_EQ(mkfifo(dir.File("pipe.gif").c_str(), 0644), 0);
  ASSERT_EQ(mkfifo(dir.File("post.uu2").c_str(), 0644), 0);
  WriteFileText(dir.File("post.uu1"), "begin 644 pipe.gif\n#86)C\n`\nend\n");
  // Run in a child so that a blocking open fails the test instead of hanging it.
  const int status = RunInChild({}, [&] {
    LogCapture log;
    TDecode decode;
    decode.Decode(dir.File("post.uu1"));
    decode.Finish();
    const bool encoded = TEncode(400).Encode(dir.File("pipe.gif"));
    const bool said =
        log.Contains("Did not create " + dir.File("pipe.gif") + " - it is not a regular file.");
    const bool read_part2 = log.Contains("Decoding " + dir.File("post.uu2"));
    return decode.failed() && said && !read_part2 && !encoded ? 0 : 1;
  });
  EXPECT_EQ(status, 0);
  struct stat info {};
  ASSERT_EQ(lstat(dir.File("pipe.gif").c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
  EXPECT_EQ(FolderEntries(dir.path()),
            (std::vector<std::string>{"pipe.gif", "post.uu1", "post.uu2"}));
}

TEST(DecodeSafety, ControlCharactersInBeginNamesBecomeUnderscores) {
  TempDir dir;
  WriteFileText(dir.File("esc.uue"), "begin 644 a\x1b]0;x\x07\x9b.gif\n#86)C\n`\nend\n");
  LogCapture log;
  TDecode decode;
  decode.Decode(dir.File("esc.uue"));
  decode.Finish();
  EXPECT_EQ(ReadFileText(dir.File("a_]0;x__.gif")), "abc");
  EXPECT_TRUE(log.Contains("Created " + dir.File("a_]0;x__.gif")));
  for (const std::string& line : log.lines) {
    EXPECT_EQ(line.find_first_of("\x1b\x07\x9b"), std::string::npos) << line;
  }
}

}  // namespace
