// The zarchive developer tool as a process: it exits non-zero whenever the
// engine reports a failure, and cat must hand over exactly the stream's bytes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "archive_test_support.h"
#include "child_process.h"
#include "support/peer_tools.h"
#include "support/temp_dir.h"

namespace {

std::string Tool() {
  return std::string(ZENTROPE_TOOLS_DIR) + "/zarchive";
}

#define REQUIRE_ZARCHIVE()                                                       \
  do {                                                                           \
    if (access(Tool().c_str(), X_OK) != 0) GTEST_SKIP() << "zarchive not built"; \
  } while (0)

int RunTool(const std::string& arguments) {
  return RunCommand(ShellQuote(Tool()) + " " + arguments + " 2>/dev/null");
}

TEST(ZarchiveTool, UnzipExtractsStoredAndDeflatedMembersAndFailsOnBadCrc) {
  REQUIRE_ZARCHIVE();
  TempDir dir;
  const Bytes stored = PatternBytes(300000, 7);
  const Bytes deflated = PatternBytes(70000, 9);
  WriteFileBytes(dir.File("good.zip"), BuildZip({{"a.bin", stored, 0}, {"b.bin", deflated, 8}}));
  EXPECT_EQ(RunTool("unzip " + ShellQuote(dir.File("good.zip")) + " " + ShellQuote(dir.path())), 0);
  EXPECT_EQ(ReadFileBytes(dir.File("a.bin")), stored);
  EXPECT_EQ(ReadFileBytes(dir.File("b.bin")), deflated);

  ZipEntry corrupt{"c.bin", deflated, 8};
  corrupt.corrupt_crc = true;
  WriteFileBytes(dir.File("bad.zip"), BuildZip({corrupt}));
  EXPECT_EQ(RunTool("unzip " + ShellQuote(dir.File("bad.zip")) + " " + ShellQuote(dir.path())), 1);
  EXPECT_EQ(RunTool("cat " + ShellQuote(dir.File("bad.zip")) + " >/dev/null"), 1);
  EXPECT_EQ(RunTool("list " + ShellQuote(dir.File("missing.zip"))), 1);
  EXPECT_EQ(RunTool("unzip " + ShellQuote(dir.File("good.zip"))), 2);
}

TEST(ZarchiveTool, CatGivesTheFirstMembersBytes) {
  REQUIRE_ZARCHIVE();
  TempDir dir;
  const Bytes first = PatternBytes(400000, 3);  // past the temporary-file threshold
  WriteFileBytes(dir.File("m.zip"), BuildZip({{"x.bin", first, 8}, {"y.bin", Bytes(10, 1), 0}}));
  ASSERT_EQ(RunTool("cat " + ShellQuote(dir.File("m.zip")) + " >" + ShellQuote(dir.File("out"))),
            0);
  EXPECT_EQ(ReadFileBytes(dir.File("out")), first);
}

// Encode splits into numbered sections; the stream gathers them back.
TEST(ZarchiveTool, UuencodedSectionsReadBackThroughCatAndUudecode) {
  REQUIRE_ZARCHIVE();
  TempDir dir;
  const Bytes data = PatternBytes(50000, 5);  // three sections at the default 400 lines
  WriteFileBytes(dir.File("p.bin"), data);
  ASSERT_EQ(RunTool("uuencode " + ShellQuote(dir.File("p.bin"))), 0);
  ASSERT_EQ(access(dir.File("p.uu3").c_str(), F_OK), 0);
  ASSERT_EQ(RunTool("cat " + ShellQuote(dir.File("p.uu1")) + " >" + ShellQuote(dir.File("out"))),
            0);
  EXPECT_EQ(ReadFileBytes(dir.File("out")), data);

  ASSERT_EQ(unlink(dir.File("p.bin").c_str()), 0);
  EXPECT_EQ(RunTool("uudecode " + ShellQuote(dir.File("p.uu1"))), 0);
  EXPECT_EQ(ReadFileBytes(dir.File("p.bin")), data);
  WriteFileText(dir.File("plain.txt"), "no encoded text here\n");
  EXPECT_EQ(RunTool("uudecode " + ShellQuote(dir.File("plain.txt"))), 1);
}

TEST(ZarchiveTool, DamagedArchivesAndFolderEntries) {
  REQUIRE_ZARCHIVE();
  TempDir dir;
  Bytes streamed = BuildZip({{"a.txt", Bytes(40, 'a'), 8}, {"b.txt", Bytes(9, 'b'), 0}});
  ASSERT_GT(streamed.size(), 26u);
  streamed[6] = 8;  // sizes after the data, none in the local header
  std::fill(streamed.begin() + 18, streamed.begin() + 26, 0);
  WriteFileBytes(dir.File("streamed.zip"), streamed);
  EXPECT_EQ(RunTool("list " + ShellQuote(dir.File("streamed.zip"))), 1);
  EXPECT_EQ(RunTool("unzip " + ShellQuote(dir.File("streamed.zip")) + " ''"), 1);
  EXPECT_NE(access(dir.File("a.txt").c_str(), F_OK), 0);

  WriteFileBytes(dir.File("folders.zip"),
                 BuildZip({{"pics/", {}, 0}, {"pics/p.gif", Bytes(5, 'p'), 8}}));
  EXPECT_EQ(RunTool("unzip " + ShellQuote(dir.File("folders.zip")) + " ''"), 0);
  EXPECT_EQ(ReadFileBytes(dir.File("p.gif")), Bytes(5, 'p'));
}

TEST(ZarchiveTool, WriteFailuresExitNonZeroAndLeaveNoFile) {
  REQUIRE_ZARCHIVE();
  TempDir dir;
  const Bytes data = PatternBytes(200000, 13);
  WriteFileBytes(dir.File("big.bin"), data);
  ASSERT_EQ(RunTool("uuencode " + ShellQuote(dir.File("big.bin"))), 0);
  ASSERT_EQ(unlink(dir.File("big.bin").c_str()), 0);
  ChildOptions limited = WithFileSizeLimit(102400);
  limited.stderr_path = dir.File("err.txt");
  EXPECT_EQ(RunProgramInChild(limited, {Tool(), "uudecode", dir.File("big.uu1")}), 1);
  EXPECT_NE(access(dir.File("big.bin").c_str(), F_OK), 0);
  WriteFileBytes(dir.File("big.bin"), data);
  // Smaller than one section: the earlier set stays and still decodes.
  limited.file_size_limit = 10000;
  EXPECT_EQ(RunProgramInChild(limited, {Tool(), "uuencode", dir.File("big.bin")}), 1);
  EXPECT_EQ(RunTool("uudecode " + ShellQuote(dir.File("big.uu1"))), 0);
  EXPECT_EQ(ReadFileBytes(dir.File("big.bin")), data);
  for (const std::string& name : FolderEntries(dir.path())) EXPECT_NE(name[0], '.') << name;

  // Encoding a file named like its own first section.
  WriteFileBytes(dir.File("x.uu1"), PatternBytes(5000, 14));
  EXPECT_EQ(RunTool("uuencode " + ShellQuote(dir.File("x.uu1"))), 1);
  EXPECT_EQ(ReadFileBytes(dir.File("x.uu1")), PatternBytes(5000, 14));
}

TEST(ZarchiveTool, UnwritableFolderIsNotCalledMissingBeginLine) {
  REQUIRE_ZARCHIVE();
  TempDir dir;
  ASSERT_EQ(mkdir(dir.File("ro").c_str(), 0755), 0);
  WriteFileText(dir.File("ro/pic.uue"), "begin 644 pic.gif\n#86)C\n`\nend\n");
  ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
  ASSERT_EQ(chmod(dir.File("ro").c_str(), 0555), 0);
  ChildOptions options = AsUnprivilegedUser();
  options.stderr_path = dir.File("err.txt");
  const int status = RunProgramInChild(options, {Tool(), "uudecode", dir.File("ro/pic.uue")});
  chmod(dir.File("ro").c_str(), 0755);
  if (status == kCannotDropPrivileges) GTEST_SKIP() << "cannot run as an unprivileged user";
  const std::string errors = ReadFileText(dir.File("err.txt"));
  if (errors.find("cannot read") != std::string::npos) GTEST_SKIP() << "$TMPDIR is private";
  EXPECT_EQ(status, 1);
  EXPECT_NE(errors.find("Did not create " + dir.File("ro/pic.gif") + " - Permission denied."),
            std::string::npos)
      << errors;
  EXPECT_EQ(errors.find("no begin line"), std::string::npos) << errors;
}

}  // namespace
