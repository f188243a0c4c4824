#include "child_process.h"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>

namespace {
constexpr unsigned kHangGuardSeconds = 60;
constexpr uid_t kNobody = 65534;

// False when the child cannot be set up as asked.
bool PrepareChild(const ChildOptions& options) {
  alarm(kHangGuardSeconds);
  if (options.file_size_limit) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{*options.file_size_limit, *options.file_size_limit};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return false;
  }
  if (!options.stderr_path.empty()) {
    const int fd = open(options.stderr_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0 || dup2(fd, STDERR_FILENO) < 0) return false;
    close(fd);
  }
  if (options.unprivileged && geteuid() == 0) {
    if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) {
      _exit(kCannotDropPrivileges);
    }
  }
  return true;
}

int Wait(pid_t pid) {
  if (pid < 0) return -1;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
}  // namespace

int RunInChild(const ChildOptions& options, const std::function<int()>& body) {
  const pid_t pid = fork();
  if (pid == 0) _exit(PrepareChild(options) ? body() : 126);
  return Wait(pid);
}

int RunProgramInChild(const ChildOptions& options, const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    if (PrepareChild(options)) execv(argv[0], argv.data());
    _exit(127);
  }
  return Wait(pid);
}

std::vector<std::string> FolderEntries(const std::string& path) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(path.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}
