#include "system/text_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/path.h"
#include "platform/system_folder.h"
#include "platform/temp_file.h"

namespace {
constexpr mode_t kNewFileMode = 0644;
constexpr mode_t kPermissionBits = 07777;

bool WriteAll(int fd, const std::string& text) {
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = write(fd, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<std::size_t>(n);
  }
  return true;
}
}  // namespace

bool WriteTextFileAtomically(const std::string& path, const std::string& text) {
  const std::string directory = SplitPath(path).directory;
  if (!directory.empty() && !EnsureDirectory(directory)) return false;
  std::string temp;
  const int fd = CreateTempFileBeside(path, temp);
  if (fd < 0) return false;
  struct stat existing {};
  fchmod(fd,
         stat(path.c_str(), &existing) == 0 ? (existing.st_mode & kPermissionBits) : kNewFileMode);
  const bool written = WriteAll(fd, text) && fsync(fd) == 0;
  const bool closed = close(fd) == 0;
  if (!written || !closed || std::rename(temp.c_str(), path.c_str()) != 0) {
    unlink(temp.c_str());
    return false;
  }
  return true;
}

bool RemoveFileIfPresent(const std::string& path) {
  return unlink(path.c_str()) == 0 || errno == ENOENT;
}
