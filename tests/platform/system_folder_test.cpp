#include "platform/system_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "support/temp_dir.h"

namespace {

class Environment {
 public:
  explicit Environment(const char* name) : name_(name) {
    if (const char* value = std::getenv(name)) saved_ = value;
  }
  ~Environment() {
    if (saved_) {
      setenv(name_, saved_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> saved_;
};

TEST(SystemFolder, ChosenFromTheEnvironmentInOrder) {
  Environment windir("ZENTROPE_WINDIR"), data("XDG_DATA_HOME"), home("HOME");
  setenv("HOME", "/home/ann", 1);
  unsetenv("ZENTROPE_WINDIR");
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(WindowsDirectory(), "/home/ann/.local/share/zentrope");
  setenv("XDG_DATA_HOME", "/data/", 1);
  EXPECT_EQ(WindowsDirectory(), "/data/zentrope");
  setenv("ZENTROPE_WINDIR", "/srv/win//", 1);
  EXPECT_EQ(WindowsDirectory(), "/srv/win");
  EXPECT_EQ(SystemDirectory(), "/srv/win/system");
  setenv("ZENTROPE_WINDIR", "", 1);
  EXPECT_EQ(WindowsDirectory(), "/data/zentrope") << "an empty variable counts as unset";
}

TEST(SystemFolder, EnsureDirectoryCreatesParentsAndRefusesFiles) {
  TempDir dir;
  const std::string nested = dir.File("a/b/c");
  EXPECT_TRUE(EnsureDirectory(nested));
  struct stat info {};
  ASSERT_EQ(stat(nested.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_TRUE(EnsureDirectory(nested)) << "existing is fine";
  EXPECT_TRUE(EnsureDirectory(dir.File("rel/../rel2")));

  ASSERT_TRUE(WriteFileText(dir.File("file"), "x"));
  EXPECT_FALSE(EnsureDirectory(dir.File("file")));
  EXPECT_FALSE(EnsureDirectory(dir.File("file/sub")));
  EXPECT_FALSE(EnsureDirectory(""));
}

}  // namespace
