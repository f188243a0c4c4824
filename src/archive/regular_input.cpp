#include "archive/regular_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

int OpenRegularFile(const std::string& path) {
  // O_NONBLOCK so that opening a pipe with no writer returns at once.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    errno = EINVAL;
    return -1;
  }
  const int flags = fcntl(fd, F_GETFL);
  if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

TRegularInput::~TRegularInput() {
  if (fd_ >= 0) close(fd_);
}

bool IsSameFile(const std::string& path, int fd) {
  struct stat named {
  }, open_file{};
  return stat(path.c_str(), &named) == 0 && fstat(fd, &open_file) == 0 &&
         named.st_dev == open_file.st_dev && named.st_ino == open_file.st_ino;
}
