#include "support/child_process.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
constexpr unsigned kChildSeconds = 20;
// The conventional "nobody" user and group.
constexpr uid_t kUnprivilegedUser = 65534;
constexpr gid_t kUnprivilegedGroup = 65534;
}  // namespace

int RunInChildProcess(const std::function<int()>& body) {
  const pid_t pid = fork();
  if (pid == 0) {
    alarm(kChildSeconds);
    // _exit: the child must not run the test framework's exit handlers.
    _exit(body());
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool DropFileAccessPrivileges() {
  if (geteuid() != 0) return true;
  return setgroups(0, nullptr) == 0 && setgid(kUnprivilegedGroup) == 0 &&
         setuid(kUnprivilegedUser) == 0;
}
