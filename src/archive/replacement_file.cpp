#include "archive/replacement_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "platform/temp_file.h"

namespace {
constexpr mode_t kNewFileMode = 0666;
constexpr mode_t kPermissionBits = 07777;
// Stands for "the target is not a regular file", which has no errno.
constexpr int kNotRegularFile = -1;

mode_t CurrentUmask() {
  const mode_t mask = umask(0);
  umask(mask);
  return mask;
}

// 0 when `target` is absent or a regular file (its mode in `mode`), else the
// reason it may not be replaced.
int CheckTarget(const std::string& target, mode_t& mode) {
  struct stat existing {};
  if (lstat(target.c_str(), &existing) != 0) {
    mode = kNewFileMode & ~CurrentUmask();
    return errno == ENOENT ? 0 : errno;
  }
  if (!S_ISREG(existing.st_mode)) return kNotRegularFile;
  mode = existing.st_mode & kPermissionBits;
  return 0;
}
}  // namespace

bool TReplacementFile::Create(const std::string& target) {
  Discard();
  error_number_ = 0;
  target_ = target;
  mode_t mode = 0;
  if (const int refusal = CheckTarget(target, mode); refusal != 0) {
    error_number_ = refusal;
    return false;
  }
  std::string temp;
  fd_ = CreateTempFileBeside(target, temp);
  if (fd_ < 0) {
    error_number_ = errno != 0 ? errno : EIO;
    return false;
  }
  temp_ = temp;
  fchmod(fd_, mode);
  buffer_.reset(new (std::nothrow) OutputBuffer(fd_));
  if (!buffer_) Fail(ENOMEM);
  return true;
}

void TReplacementFile::Fail(int error_number) {
  if (error_number_ == 0) error_number_ = error_number != 0 ? error_number : EIO;
}

void TReplacementFile::Write(const unsigned char* data, std::size_t length) {
  if (failed() || !buffer_) return;
  buffer_->Write(data, length);
  if (buffer_->failed()) Fail(buffer_->error_number());
}

std::string TReplacementFile::FailureReason() const {
  if (error_number_ == kNotRegularFile) return "it is not a regular file";
  return std::strerror(error_number_ != 0 ? error_number_ : EIO);
}

bool TReplacementFile::Finish(const timespec* times) {
  if (fd_ < 0) return is_open() && !failed();
  if (buffer_ && !failed() && !buffer_->Flush()) Fail(buffer_->error_number());
  buffer_.reset();
  if (times && !failed() && futimens(fd_, times) != 0) Fail(errno);
  if (close(fd_) != 0) Fail(errno);
  fd_ = -1;
  return !failed();
}

bool TReplacementFile::Commit(const timespec* times) {
  if (!is_open()) return false;
  bool done = Finish(times);
  if (done) {
    // Something other than a file may have been put there meanwhile.
    mode_t mode = 0;
    if (const int refusal = CheckTarget(target_, mode); refusal != 0) Fail(refusal);
    done = !failed() && std::rename(temp_.c_str(), target_.c_str()) == 0;
    if (!done) Fail(errno);
  }
  if (!done) {
    Discard();
    return false;
  }
  temp_.clear();
  return true;
}

void TReplacementFile::Discard() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  buffer_.reset();
  if (!temp_.empty()) unlink(temp_.c_str());
  temp_.clear();
}
