// The zarchive developer tool as a process: its exit status is read back
// from the engine's log, and cat must hand over exactly the stream's bytes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "archive_test_support.h"
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

}  // namespace
