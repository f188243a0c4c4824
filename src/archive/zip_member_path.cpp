#include "archive/zip_member_path.h"

#include <sys/stat.h>

std::optional<ArchiveMemberPath> SplitArchiveMemberPath(std::string_view path) {
  // The search starts after the first character so that "/" itself is skipped.
  for (std::size_t slash = path.find('/', 1); slash != std::string_view::npos;
       slash = path.find('/', slash + 1)) {
    const std::string prefix(path.substr(0, slash));
    struct stat info {};
    if (stat(prefix.c_str(), &info) != 0) return std::nullopt;
    if (S_ISDIR(info.st_mode)) continue;
    if (!S_ISREG(info.st_mode) || slash + 1 == path.size()) return std::nullopt;
    return ArchiveMemberPath{prefix, std::string(path.substr(slash + 1))};
  }
  return std::nullopt;
}

std::string JoinArchiveMemberPath(std::string_view archive, std::string_view member) {
  std::string path(archive);
  path += '/';
  path += member;
  return path;
}
