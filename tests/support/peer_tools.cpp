#include "support/peer_tools.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
// Some machines put wrappers ahead of the real tools on the PATH (a stand-in
// "convert" in /usr/local/bin that changes transparent pixels, say). Oracles
// must be the distribution's own tools, so their folders come first.
const bool system_tools_first = [] {
  const char* path = std::getenv("PATH");
  const std::string preferred = std::string("/usr/bin:/bin") + (path && *path ? ":" : "");
  return setenv("PATH", (preferred + (path ? path : "")).c_str(), 1) == 0;
}();
}  // namespace

std::string ShellQuote(const std::string& word) {
  std::string quoted = "'";
  for (char c : word) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

bool HavePeerTool(const std::string& tool) {
  return RunCommand("command -v " + ShellQuote(tool) + " >/dev/null 2>&1") == 0;
}

int RunCommand(const std::string& command) {
  const int status = std::system(command.c_str());
  if (status == -1 || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

std::string CommandOutput(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return output;
  std::array<char, 4096> buffer{};
  std::size_t n = 0;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
    output.append(buffer.data(), n);
  pclose(pipe);
  return output;
}
