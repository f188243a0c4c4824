// The file a decoder or the unzipper writes. Its bytes go to a new file beside
// the target, which takes the target's place only when Commit is called after
// a complete write; a failed write, an abandoned decode or a failed close
// leaves the target as it was and removes the new file.
#pragma once

#include <time.h>

#include <memory>
#include <string>

#include "archive/encoded_text.h"

class TReplacementFile {
 public:
  TReplacementFile() = default;
  ~TReplacementFile() { Discard(); }
  TReplacementFile(const TReplacementFile&) = delete;
  TReplacementFile& operator=(const TReplacementFile&) = delete;

  // Starts a file that will replace `target`. False when the target exists
  // and is not a regular file (a link, a pipe, a device, a folder), or when no
  // file can be made beside it; FailureReason() then says why.
  bool Create(const std::string& target);
  bool is_open() const { return !temp_.empty(); }
  const std::string& target() const { return target_; }

  // Buffered; a failed write is remembered and ends all writing.
  void Write(const unsigned char* data, std::size_t length);
  bool failed() const { return error_number_ != 0; }
  // What went wrong, as text for a log line.
  std::string FailureReason() const;

  // Writes what is buffered and closes, keeping the new file beside the
  // target; `times` (access, modification) are set first when given. False
  // on any failure so far.
  bool Finish(const timespec* times = nullptr);
  // Finishes if need be and renames the new file over the target. False (and
  // nothing replaced) on any failure.
  bool Commit(const timespec* times = nullptr);
  // Drops the new file; the target stays as it was.
  void Discard();

 private:
  void Fail(int error_number);

  std::string target_;
  std::string temp_;  // empty when nothing is pending
  int fd_ = -1;
  std::unique_ptr<OutputBuffer> buffer_;
  int error_number_ = 0;
};
