#include "platform/file_filter.h"

#include "platform/path.h"

namespace {
std::vector<std::string> SplitOn(std::string_view text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = text.find(separator, start);
    if (end == std::string_view::npos) {
      parts.emplace_back(text.substr(start));
      break;
    }
    parts.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

// Iterative wildcard match with one backtrack point: linear in practice and
// never recursive, whatever the pattern.
bool WildcardMatch(std::string_view name, std::string_view pattern) {
  std::size_t n = 0;
  std::size_t p = 0;
  std::size_t star = std::string_view::npos;
  std::size_t resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() &&
        (pattern[p] == '?' || ToLowerAscii(pattern[p]) == ToLowerAscii(name[n]))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}
}  // namespace

std::vector<FileFilter> ParseFilterList(std::string_view list) {
  std::vector<FileFilter> filters;
  const std::vector<std::string> parts = SplitOn(list, '|');
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].empty() && parts[i + 1].empty()) break;
    FileFilter filter;
    filter.description = parts[i];
    for (std::string& pattern : SplitOn(parts[i + 1], ';')) {
      if (!pattern.empty()) filter.patterns.push_back(std::move(pattern));
    }
    filters.push_back(std::move(filter));
  }
  return filters;
}

bool MatchesPattern(std::string_view name, std::string_view pattern) {
  if (pattern == "*.*") return true;
  return WildcardMatch(name, pattern);
}

bool MatchesFilter(std::string_view name, const FileFilter& filter) {
  for (const std::string& pattern : filter.patterns) {
    if (MatchesPattern(name, pattern)) return true;
  }
  return false;
}
