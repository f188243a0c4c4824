#include "system/xdg_places.h"

#include <cstdlib>

#include "platform/path.h"

namespace {
// Relative values are invalid and must be ignored.
std::string AbsoluteFromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (!value || value[0] != '/') return {};
  std::string path(value);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}
}  // namespace

XdgPlaces XdgPlaces::FromEnvironment() {
  XdgPlaces places;
  places.config_home = AbsoluteFromEnvironment("XDG_CONFIG_HOME");
  if (places.config_home.empty()) places.config_home = HomeDirectory() + "/.config";
  places.data_home = AbsoluteFromEnvironment("XDG_DATA_HOME");
  if (places.data_home.empty()) places.data_home = HomeDirectory() + "/.local/share";
  const char* dirs = std::getenv("XDG_DATA_DIRS");
  std::string list = dirs && *dirs ? dirs : "/usr/local/share:/usr/share";
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t colon = list.find(':', start);
    if (colon == std::string::npos) colon = list.size();
    std::string dir = list.substr(start, colon - start);
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    if (!dir.empty() && dir.front() == '/') places.data_dirs.push_back(dir);
    start = colon + 1;
  }
  return places;
}
