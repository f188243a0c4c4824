#include "files/file_pattern.h"

#include <cstddef>

#include "files/name_match.h"
#include "platform/path.h"

bool MatchesWildcard(std::string_view pattern, std::string_view text) {
  // Greedy match that backtracks only to the last "*": linear in practice and
  // never worse than pattern length times text length.
  std::size_t p = 0;
  std::size_t t = 0;
  std::size_t star = std::string_view::npos;
  std::size_t star_text = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      star_text = t;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || ToLowerAscii(pattern[p]) == ToLowerAscii(text[t]))) {
      ++p;
      ++t;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      t = ++star_text;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool HasWildcards(std::string_view text) {
  return text.find_first_of("*?") != std::string_view::npos;
}

bool MatchesFilePattern(std::string_view pattern_name, std::string_view pattern_extension,
                        std::string_view file_name) {
  const NameParts parts = SplitNameParts(file_name);
  const std::string_view extension = parts.extension.empty() ? "." : parts.extension;
  return MatchesWildcard(pattern_name, parts.name) && MatchesWildcard(pattern_extension, extension);
}
