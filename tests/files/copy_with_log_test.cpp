#include "files/copy_with_log.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "file_list_fixture.h"

namespace {

std::vector<unsigned char> SampleBytes(std::size_t size) {
  std::vector<unsigned char> bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<unsigned char>((i * 131) ^ (i >> 7));
  return bytes;
}

std::vector<std::string> FolderListing(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    names.push_back(entry.path().lexically_relative(folder).string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string Line(const char* format, const std::string& a, const std::string& b = "") {
  return FormatLogText(format, a, b);
}

}  // namespace

TEST_F(FileListTest, CopyReplacesTheDestinationWholeAndKeepsItsPermissions) {
  const auto bytes = SampleBytes(100'000);  // several copy blocks
  ASSERT_TRUE(WriteFileBytes(Path("a.bin"), bytes));
  Make({"out/b.bin"});
  ASSERT_EQ(chmod(Path("out/b.bin").c_str(), 0640), 0);
  CapturedLog log;
  EXPECT_TRUE(CopyWithLog(Path("a.bin"), Path("out/b.bin"), false));
  EXPECT_EQ(ReadFileBytes(Path("out/b.bin")), bytes);
  EXPECT_EQ(ReadFileBytes(Path("a.bin")), bytes);
  struct stat info {};
  ASSERT_EQ(stat(Path("out/b.bin").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(log.lines,
            (std::vector<std::string>{Line("Copying %s to %s", Path("a.bin"), Path("out/b.bin")),
                                      Line("Copied %s to %s", Path("a.bin"), Path("out/b.bin"))}));
  EXPECT_EQ(FolderListing(dir_.path()), (std::vector<std::string>{"a.bin", "out", "out/b.bin"}));
}

TEST_F(FileListTest, FailedCopyLeavesTheOldDestinationAndNoPartialFile) {
  Make({"keep.gif", "out/old.gif"});
  CapturedLog log;
  // Reading /proc/self/mem from offset 0 fails after the open has succeeded.
  EXPECT_FALSE(CopyWithLog("/proc/self/mem", Path("out/old.gif"), false));
  EXPECT_EQ(ReadFileText(Path("out/old.gif")), "out/old.gif");
  EXPECT_EQ(log.lines.back(),
            Line("Error occurred while copying %s to %s", "/proc/self/mem", Path("out/old.gif")));

  EXPECT_FALSE(CopyWithLog(Path("missing.gif"), Path("out/old.gif"), false));
  EXPECT_FALSE(CopyWithLog(Path("keep.gif"), Path("nowhere/new.gif"), false));
  EXPECT_FALSE(CopyWithLog(Path("out"), Path("folder-copy"), true));  // not a file
  EXPECT_FALSE(CopyWithLog(Path("keep.gif"), Path("out"), true));     // onto a folder
  EXPECT_EQ(ReadFileText(Path("out/old.gif")), "out/old.gif");
  EXPECT_EQ(ReadFileText(Path("keep.gif")), "keep.gif");
  EXPECT_EQ(FolderListing(dir_.path()),
            (std::vector<std::string>{"keep.gif", "out", "out/old.gif"}));
}

TEST_F(FileListTest, CopyOrMoveOntoTheSameFileTouchesNothing) {
  Make({"a.gif"});
  ASSERT_EQ(link(Path("a.gif").c_str(), Path("hard.gif").c_str()), 0);
  CapturedLog log;
  EXPECT_FALSE(CopyWithLog(Path("a.gif"), Path("a.gif"), false));
  EXPECT_FALSE(CopyWithLog(Path("a.gif"), dir_.path() + "/./a.gif", true));
  EXPECT_FALSE(CopyWithLog(Path("a.gif"), Path("hard.gif"), true));
  EXPECT_EQ(ReadFileText(Path("a.gif")), "a.gif");
  EXPECT_EQ(ReadFileText(Path("hard.gif")), "a.gif");
  ASSERT_EQ(log.lines.size(), 6u);
  EXPECT_EQ(log.lines[1],
            Line("Error occurred while copying %s to %s", Path("a.gif"), Path("a.gif")));
}

TEST_F(FileListTest, CopyOntoASymbolicLinkWritesItsTarget) {
  Make({"a.gif", "target.gif"});
  ASSERT_EQ(symlink(Path("target.gif").c_str(), Path("link.gif").c_str()), 0);
  EXPECT_TRUE(CopyWithLog(Path("a.gif"), Path("link.gif"), false));
  EXPECT_EQ(ReadFileText(Path("target.gif")), "a.gif");
  struct stat info {};
  ASSERT_EQ(lstat(Path("link.gif").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
}

TEST_F(FileListTest, MoveWithinAFileSystemRenamesAndLogsTheDeletion) {
  Make({"a.gif", "sorted/x"});
  CapturedLog log;
  EXPECT_TRUE(CopyWithLog(Path("a.gif"), Path("sorted/a.gif"), true));
  EXPECT_FALSE(std::filesystem::exists(Path("a.gif")));
  EXPECT_EQ(ReadFileText(Path("sorted/a.gif")), "a.gif");
  EXPECT_EQ(log.lines,
            (std::vector<std::string>{Line("Copying %s to %s", Path("a.gif"), Path("sorted/a.gif")),
                                      Line("Copied %s to %s", Path("a.gif"), Path("sorted/a.gif")),
                                      Line("Deleted %s", Path("a.gif"))}));
}

TEST_F(FileListTest, MoveAcrossFileSystemsDeletesTheSourceOnlyAfterACompleteCopy) {
  std::string other = "/dev/shm/zentrope-test-XXXXXX";
  struct stat here {
  }, there{};
  if (stat("/dev/shm", &there) != 0 || stat(dir_.path().c_str(), &here) != 0 ||
      here.st_dev == there.st_dev || !mkdtemp(other.data())) {
    GTEST_SKIP() << "no second file system at /dev/shm";
  }
  const auto bytes = SampleBytes(70'000);
  ASSERT_TRUE(WriteFileBytes(Path("a.bin"), bytes));
  CapturedLog log;
  EXPECT_FALSE(CopyWithLog(Path("a.bin"), other + "/missing/a.bin", true));
  EXPECT_EQ(ReadFileBytes(Path("a.bin")), bytes);

  EXPECT_TRUE(CopyWithLog(Path("a.bin"), other + "/a.bin", true));
  EXPECT_FALSE(std::filesystem::exists(Path("a.bin")));
  EXPECT_EQ(ReadFileBytes(other + "/a.bin"), bytes);
  EXPECT_EQ(log.lines.back(), Line("Deleted %s", Path("a.bin")));
  EXPECT_EQ(FolderListing(other), (std::vector<std::string>{"a.bin"}));
  std::filesystem::remove_all(other);
}
