// Folders of small files for the file-list and file-operation tests, and a
// log sink that keeps the lines without their time stamps.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/log_sink.h"
#include "platform/platform_info.h"
#include "support/temp_dir.h"

class CapturedLog : public LogSink {
 public:
  CapturedLog() { InstallLogSink(this); }
  ~CapturedLog() override { InstallLogSink(nullptr); }
  CapturedLog(const CapturedLog&) = delete;
  CapturedLog& operator=(const CapturedLog&) = delete;

  // Drops the "hh:mm:ss " prefix.
  void AppendLogLine(std::string_view line) override {
    lines.emplace_back(line.size() > 9 ? line.substr(9) : line);
  }
  std::vector<std::string> lines;
};

class FileListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char buffer[4096];
    ASSERT_NE(getcwd(buffer, sizeof buffer), nullptr);
    previous_directory_ = buffer;
    ASSERT_FALSE(dir_.path().empty());
    ASSERT_EQ(chdir(dir_.path().c_str()), 0);
    SetPlatformMajorVersion(4);
  }
  void TearDown() override {
    ASSERT_EQ(chdir(previous_directory_.c_str()), 0);
    SetPlatformMajorVersion(4);
  }

  // Creates each file (and its folders) under the test folder, in this order;
  // returns their full paths.
  std::vector<std::string> Make(const std::vector<std::string>& names) {
    std::vector<std::string> paths;
    for (const std::string& name : names) {
      const std::string path = dir_.File(name);
      for (std::size_t slash = path.find('/', dir_.path().size() + 1); slash != std::string::npos;
           slash = path.find('/', slash + 1)) {
        mkdir(path.substr(0, slash).c_str(), 0755);
      }
      EXPECT_TRUE(WriteFileText(path, name));
      paths.push_back(path);
    }
    return paths;
  }
  std::string Path(const std::string& name) const { return dir_.File(name); }

  TempDir dir_;
  std::string previous_directory_;
};
