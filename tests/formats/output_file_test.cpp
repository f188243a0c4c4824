#include "formats/output_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <new>

#include "support/temp_dir.h"

namespace {
mode_t ModeOf(const std::string& path) {
  struct stat info {};
  stat(path.c_str(), &info);
  return info.st_mode & 07777;
}
}  // namespace

TEST(OutputFile, AFinishedFileReplacesTheOldOneWithItsPermissions) {
  TempDir dir;
  const std::string target = dir.File("picture.gif");
  ASSERT_TRUE(WriteFileText(target, "old picture"));
  chmod(target.c_str(), 0640);

  TOutputFile file;
  ASSERT_TRUE(file.Create(target));
  EXPECT_EQ(ReadFileText(target), "old picture") << "the target changes only when complete";
  ASSERT_TRUE(file.Write("new", 3));
  ASSERT_TRUE(file.Close());

  EXPECT_EQ(ReadFileText(target), "new");
  EXPECT_EQ(ModeOf(target), 0640u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
      << "no temporary file is left behind";
}

TEST(OutputFile, ADiscardedSaveLeavesTheOldFileAndNoHalfFile) {
  TempDir dir;
  const std::string existing = dir.File("kept.bmp");
  ASSERT_TRUE(WriteFileText(existing, "the user's picture"));
  {
    TOutputFile file;
    ASSERT_TRUE(file.Create(existing));
    file.Write("half", 4);
    file.Discard();
  }
  EXPECT_EQ(ReadFileText(existing), "the user's picture");

  const std::string fresh = dir.File("new.bmp");
  {
    TOutputFile file;
    ASSERT_TRUE(file.Create(fresh));
    file.Write("half", 4);
    file.Discard();
  }
  EXPECT_FALSE(std::filesystem::exists(fresh));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(OutputFile, SavingThroughALinkKeepsTheLink) {
  TempDir dir;
  const std::string real = dir.File("real.tga");
  const std::string link = dir.File("link.tga");
  ASSERT_TRUE(WriteFileText(real, "old"));
  ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);

  TOutputFile file;
  ASSERT_TRUE(file.Create(link));
  file.Write("new", 3);
  ASSERT_TRUE(file.Close());

  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFileText(real), "new");
}

TEST(OutputFile, ADeviceIsWrittenDirectlyAndNeverRemoved) {
  TOutputFile file;
  ASSERT_TRUE(file.Create("/dev/null"));
  file.Write("x", 1);
  file.Discard();
  struct stat info {};
  ASSERT_EQ(stat("/dev/null", &info), 0);
  EXPECT_TRUE(S_ISCHR(info.st_mode));
}

TEST(OutputFile, AFolderThatCannotBeWrittenFailsToCreate) {
  TOutputFile file;
  EXPECT_FALSE(file.Create("/nonexistent-folder/picture.gif"));
}

TEST(OutputFile, AnExceptionUnwindingAfterCreationKeepsTheOldPicture) {
  TempDir dir;
  const std::string target = dir.File("picture.bmp");
  ASSERT_TRUE(WriteFileText(target, "the user's picture"));
  try {
    TOutputFile file;
    ASSERT_TRUE(file.Create(target));
    ASSERT_TRUE(file.Write("partial", 7));
    throw std::bad_alloc();
  } catch (const std::bad_alloc&) {
  }
  EXPECT_EQ(ReadFileText(target), "the user's picture");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
      << "the temporary file is removed";
}
