// Running engine code or a tool in a forked child under conditions a test
// cannot set for itself: a file size limit, an unprivileged user, or a guard
// against a call that would block for ever.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The status a child returns when it could not give up root.
inline constexpr int kCannotDropPrivileges = 77;

struct ChildOptions {
  // Files may not grow past this many bytes; writes past it fail with EFBIG.
  std::optional<std::uint64_t> file_size_limit;
  // As root, run as "nobody" so that folder permissions apply.
  bool unprivileged = false;
  // Standard error goes to this file when given.
  std::string stderr_path;
};

inline ChildOptions WithFileSizeLimit(std::uint64_t bytes) {
  ChildOptions options;
  options.file_size_limit = bytes;
  return options;
}
inline ChildOptions AsUnprivilegedUser() {
  ChildOptions options;
  options.unprivileged = true;
  return options;
}

// Runs `body` in a child and returns the status it exits with; -1 when it did
// not exit normally (a crash, or the alarm that ends a child that blocked).
int RunInChild(const ChildOptions& options, const std::function<int()>& body);

// Runs a program with arguments in a child the same way.
int RunProgramInChild(const ChildOptions& options, const std::vector<std::string>& arguments);

// The names in a folder, sorted, without "." and "..".
std::vector<std::string> FolderEntries(const std::string& path);
