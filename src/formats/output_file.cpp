#include "formats/output_file.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <new>

#include "platform/file_buffer.h"
#include "platform/temp_file.h"

namespace {
constexpr mode_t kNewFileMode = 0666;
constexpr mode_t kPermissionBits = 07777;

mode_t CurrentUmask() {
  const mode_t mask = umask(0);
  umask(mask);
  return mask;
}

// The file a link points at, so that saving through a link replaces the
// linked file and keeps the link.
std::string ResolvedTarget(const std::string& path) {
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}
}  // namespace

TOutputFile::~TOutputFile() {
  Discard();
}

bool TOutputFile::Create(const std::string& path) {
  Discard();
  error_ = false;
  path_ = ResolvedTarget(path);
  struct stat existing {};
  const bool exists = stat(path_.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) {
    file_ = std::fopen(path_.c_str(), "wb");
  } else {
    const int fd = CreateTempFileBeside(path_, temp_path_);
    if (fd >= 0) {
      fchmod(fd, exists ? (existing.st_mode & kPermissionBits) : (kNewFileMode & ~CurrentUmask()));
      file_ = fdopen(fd, "wb");
      if (file_ == nullptr) {
        close(fd);
        unlink(temp_path_.c_str());
      }
    }
  }
  if (file_ == nullptr) {
    path_.clear();
    temp_path_.clear();
    return false;
  }
  buffer_.reset(new (std::nothrow) char[kFileBufferSize]);
  // Without its own buffer the file still works with the library's.
  if (buffer_) std::setvbuf(file_, buffer_.get(), _IOFBF, kFileBufferSize);
  return true;
}

bool TOutputFile::Write(const void* data, std::size_t size) {
  if (file_ == nullptr || error_) return false;
  if (size > 0 && std::fwrite(data, 1, size, file_) != size) error_ = true;
  return !error_;
}

bool TOutputFile::Flush() {
  if (file_ == nullptr || error_) return false;
  if (std::fflush(file_) != 0 || std::ferror(file_)) error_ = true;
  return !error_;
}

bool TOutputFile::CloseStream() {
  if (file_ == nullptr) return false;
  if (std::fclose(file_) != 0) error_ = true;
  file_ = nullptr;
  buffer_.reset();
  return true;
}

bool TOutputFile::Close() {
  if (!CloseStream()) return !error_;
  if (!temp_path_.empty()) {
    if (error_ || std::rename(temp_path_.c_str(), path_.c_str()) != 0) {
      error_ = true;
      unlink(temp_path_.c_str());
    }
    temp_path_.clear();
  }
  return !error_;
}

void TOutputFile::Discard() {
  CloseStream();
  if (!temp_path_.empty()) unlink(temp_path_.c_str());
  temp_path_.clear();
  path_.clear();
}
