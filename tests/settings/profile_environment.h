// A private system folder and current directory for each settings test, so
// tests never read or write the user's own settings.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/platform_info.h"
#include "settings/first_start.h"
#include "settings/run_mode.h"
#include "support/temp_dir.h"

class ProfileEnvironment : public ::testing::Test {
 protected:
  void SetUp() override {
    char buffer[4096];
    ASSERT_NE(getcwd(buffer, sizeof buffer), nullptr);
    previous_directory_ = buffer;
    ASSERT_EQ(setenv("ZENTROPE_WINDIR", windir_.path().c_str(), 1), 0);
    ASSERT_EQ(chdir(work_.path().c_str()), 0);
    SetRunMode(RunMode::Viewer);
    SetProgramPath("/usr/bin/zentrope");
    SetPlatformMajorVersion(4);
    SetDisplayBitsPerPixel(24);
    ASSERT_TRUE(RecordFirstStart());
  }

  void TearDown() override {
    ASSERT_EQ(chdir(previous_directory_.c_str()), 0);
    unsetenv("ZENTROPE_WINDIR");
    SetRunMode(RunMode::Viewer);
    SetProgramPath("");
    SetPlatformMajorVersion(4);
    SetDisplayBitsPerPixel(24);
  }

  // The viewer's settings file when none lies in the current directory.
  std::string ViewerFile() const { return windir_.File("zentrope.ini"); }

  TempDir windir_;
  TempDir work_;
  std::string previous_directory_;
};
