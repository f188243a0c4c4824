#include "platform/system_folder.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

#include "platform/path.h"

namespace {
std::string FromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}
}  // namespace

std::string WindowsDirectory() {
  if (auto dir = FromEnvironment("ZENTROPE_WINDIR"); !dir.empty()) return WithoutTrailingSlash(dir);
  if (auto data = FromEnvironment("XDG_DATA_HOME"); !data.empty()) {
    return WithoutTrailingSlash(data) + "/zentrope";
  }
  return HomeDirectory() + "/.local/share/zentrope";
}

std::string SystemDirectory() {
  return WindowsDirectory() + "/system";
}

bool EnsureDirectory(const std::string& directory) {
  if (directory.empty()) return false;
  std::string partial;
  std::size_t start = 0;
  while (start <= directory.size()) {
    auto slash = directory.find('/', start);
    if (slash == std::string::npos) slash = directory.size();
    partial = directory.substr(0, slash);
    if (!partial.empty() && mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) return false;
    start = slash + 1;
  }
  struct stat info {};
  return stat(directory.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}
