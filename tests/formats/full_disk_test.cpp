// A disk that fills up during a save: every writer reports failure, leaves no
// file of its own and keeps the file it would have replaced.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "pcx_tga_support.h"

namespace {

// The result of `save` in a child process whose files may not grow past
// `limit` bytes; -1 when the child did not exit normally.
int SaveWithFileSizeLimit(const std::function<int()>& save, rlim_t limit) {
  const pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
    const rlimit bound{limit, limit};
    setrlimit(RLIMIT_FSIZE, &bound);
    _exit(save());
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

using FullDisk = pcx_tga_test::FormatTest;

TEST_F(FullDisk, EveryWriterFailsAndKeepsTheOldFile) {
  auto image = std::make_unique<TImage>();
  pcx_tga_test::MakeColourPicture(*image, 300, 200);
  for (const char* name :
       {"full.gif", "full.bmp", "full.pcx", "full.tga", "full.jpg", "full.tif"}) {
    SCOPED_TRACE(name);
    const std::string path = files_.File(name);
    // A fresh file: nothing is left.
    EXPECT_EQ(SaveWithFileSizeLimit([&] { return Save(name, *image); }, 4096), 1);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(std::filesystem::is_empty(files_.path()));
    // An existing file stays as it was.
    ASSERT_TRUE(WriteFileText(path, "the old picture"));
    EXPECT_EQ(SaveWithFileSizeLimit([&] { return Save(name, *image); }, 4096), 1);
    EXPECT_EQ(ReadFileText(path), "the old picture");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(files_.path()), {}), 1);
    // Without the limit the same save succeeds.
    EXPECT_EQ(SaveWithFileSizeLimit([&] { return Save(name, *image); }, RLIM_INFINITY), 0);
    EXPECT_NE(ReadFileText(path), "the old picture");
    std::filesystem::remove(path);
  }
}

}  // namespace
