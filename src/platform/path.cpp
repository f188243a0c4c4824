#include "platform/path.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

PathParts SplitPath(std::string_view path) {
  PathParts parts;
  const auto slash = path.rfind('/');
  std::string_view file = path;
  if (slash != std::string_view::npos) {
    parts.directory = std::string(path.substr(0, slash + 1));
    file = path.substr(slash + 1);
  }
  const auto dot = file.rfind('.');
  const bool only_leading_dot = dot == 0 || file == "..";
  if (dot == std::string_view::npos || only_leading_dot) {
    parts.name = std::string(file);
  } else {
    parts.name = std::string(file.substr(0, dot));
    parts.extension = std::string(file.substr(dot));
  }
  return parts;
}

std::string JoinPath(const PathParts& parts) {
  std::string path = parts.drive + parts.directory;
  if (!path.empty() && path.back() != '/' && !(parts.name.empty() && parts.extension.empty())) {
    path += '/';
  }
  return path + parts.name + parts.extension;
}

char ToLowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

static char ToUpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string ToLower(std::string_view text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(), ToLowerAscii);
  return result;
}

std::string ToUpper(std::string_view text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(), ToUpperAscii);
  return result;
}

int CompareNoCase(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto ca = static_cast<unsigned char>(ToLowerAscii(a[i]));
    const auto cb = static_cast<unsigned char>(ToLowerAscii(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareNoCase(a, b) == 0;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

std::string HomeDirectory() {
  std::string home;
  if (const char* env = std::getenv("HOME"); env && *env) {
    home = env;
  } else if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) {
    home = entry->pw_dir;
  }
  while (home.size() > 1 && home.back() == '/') home.pop_back();
  return home;
}

std::string ExpandHome(std::string_view path) {
  if (path == "~") return HomeDirectory();
  if (path.size() >= 2 && path[0] == '~' && path[1] == '/') {
    return HomeDirectory() + std::string(path.substr(1));
  }
  return std::string(path);
}
