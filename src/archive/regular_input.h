// Opening the files the archive code reads. Only regular files are read: a
// named pipe or a device would block the command or never end.
#pragma once

#include <string>

// A read-only descriptor on `path`, opened without blocking and kept only when
// it is a regular file; -1 otherwise (errno says why, EINVAL for other kinds).
int OpenRegularFile(const std::string& path);

// Owns a descriptor from OpenRegularFile for a scope.
class TRegularInput {
 public:
  explicit TRegularInput(const std::string& path) : fd_(OpenRegularFile(path)) {}
  ~TRegularInput();
  TRegularInput(const TRegularInput&) = delete;
  TRegularInput& operator=(const TRegularInput&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

// True when `path` names the very file open as `fd` (so replacing it would
// destroy input that is being read).
bool IsSameFile(const std::string& path, int fd);
