#include "files/file_spelling.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

#include "platform/path.h"
#include "platform/platform_info.h"

namespace {

constexpr int kFirstCaseKeepingVersion = 4;

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

bool Exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

}  // namespace

std::string SpellingFromFileSystem(std::string_view path) {
  std::string given(path);
  if (given.empty() || Exists(given)) return given;
  const auto slash = given.rfind('/');
  const std::string directory = slash == std::string::npos ? "" : given.substr(0, slash + 1);
  const std::string file_name = given.substr(directory.size());
  if (file_name.empty()) return given;

  std::unique_ptr<DIR, DirCloser> dir(opendir(directory.empty() ? "." : directory.c_str()));
  if (!dir) return given;
  std::string found;
  int matches = 0;
  while (const dirent* entry = readdir(dir.get())) {
    if (!EqualsNoCase(entry->d_name, file_name)) continue;
    found = entry->d_name;
    if (++matches > 1) return given;
  }
  return matches == 1 ? directory + found : given;
}

std::string NormaliseListName(std::string_view path) {
  if (PlatformMajorVersion() < kFirstCaseKeepingVersion) return ToLower(path);
  return SpellingFromFileSystem(path);
}

std::string NormaliseScannedName(std::string_view path) {
  if (PlatformMajorVersion() < kFirstCaseKeepingVersion) return ToLower(path);
  return std::string(path);
}
