// A print or conversion run from the command line: it counts the files it
// has handled, shows "file n of N" on a terminal, and remembers every file
// it could not print or convert, so the program can end with a failure.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

class TBatchRun {
 public:
  // `total` files are to be handled. Progress goes to `progress` when it is
  // a terminal; failures are named on `errors`. Either may be null.
  TBatchRun(int total, std::FILE* progress, std::FILE* errors, std::string program_name);
  ~TBatchRun();
  TBatchRun(const TBatchRun&) = delete;
  TBatchRun& operator=(const TBatchRun&) = delete;

  // The next file's turn has come.
  void Starting();
  // The file could not be printed or converted; `reason` is the log's line.
  void Failed(const std::string& file, const std::string& reason);

  int Handled() const { return handled_; }
  const std::vector<std::string>& Failures() const { return failures_; }
  bool AnyFailed() const { return !failures_.empty(); }

 private:
  int total_;
  int handled_ = 0;
  std::FILE* progress_;
  std::FILE* errors_;
  std::string program_name_;
  bool progress_shown_ = false;
  std::vector<std::string> failures_;
};
