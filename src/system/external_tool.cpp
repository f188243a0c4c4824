#include "system/external_tool.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

extern char** environ;

namespace {
constexpr std::size_t kReadChunk = 4096;
// A tool's answer is a line or two; more is not read.
constexpr std::size_t kMaxOutput = 1 << 20;

bool IsExecutableFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

int WaitFor(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Spawns the tool with standard input from /dev/null, standard error
// discarded and standard output to `out_fd` (-1: discarded).
pid_t Spawn(const std::vector<std::string>& argv, int out_fd) {
  if (argv.empty() || FindTool(argv[0]).empty()) return -1;
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (out_fd >= 0) {
    posix_spawn_file_actions_adddup2(&actions, out_fd, 1);
  } else {
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  }
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  const int failed = posix_spawnp(&pid, argv[0].c_str(), &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return failed ? -1 : pid;
}
}  // namespace

std::string FindTool(const std::string& name) {
  if (name.empty()) return {};
  if (name.find('/') != std::string::npos) return IsExecutableFile(name) ? name : std::string();
  const char* path = std::getenv("PATH");
  const std::string list = path ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t colon = list.find(':', start);
    if (colon == std::string::npos) colon = list.size();
    std::string dir = list.substr(start, colon - start);
    if (dir.empty()) dir = ".";
    const std::string candidate = dir + "/" + name;
    if (IsExecutableFile(candidate)) return candidate;
    start = colon + 1;
  }
  return {};
}

int RunTool(const std::vector<std::string>& argv) {
  const pid_t pid = Spawn(argv, -1);
  return pid < 0 ? -1 : WaitFor(pid);
}

std::string ToolOutput(const std::vector<std::string>& argv, int* status) {
  *status = -1;
  int pipe_fds[2];
  if (pipe2(pipe_fds, O_CLOEXEC) != 0) return {};
  const pid_t pid = Spawn(argv, pipe_fds[1]);
  close(pipe_fds[1]);
  std::string output;
  if (pid >= 0) {
    char chunk[kReadChunk];
    for (;;) {
      const ssize_t got = read(pipe_fds[0], chunk, sizeof chunk);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      if (output.size() < kMaxOutput) output.append(chunk, static_cast<std::size_t>(got));
    }
  }
  close(pipe_fds[0]);
  if (pid >= 0) *status = WaitFor(pid);
  return output;
}
