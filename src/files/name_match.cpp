#include "files/name_match.h"

#include "platform/path.h"

NameParts SplitNameParts(std::string_view path) {
  NameParts parts;
  const auto slash = path.rfind('/');
  std::string_view file = path;
  if (slash != std::string_view::npos) {
    parts.directory = path.substr(0, slash + 1);
    file = path.substr(slash + 1);
  }
  const auto dot = file.rfind('.');
  const bool only_leading_dot = dot == 0 || file == "..";
  if (dot == std::string_view::npos || only_leading_dot) {
    parts.name = file;
  } else {
    parts.name = file.substr(0, dot);
    parts.extension = file.substr(dot);
  }
  return parts;
}

namespace {

bool PartMatches(std::string_view target, std::string_view entry, bool by_prefix) {
  if (target.empty() || entry.empty()) return true;  // absent on one side: not compared
  if (by_prefix) return StartsWithNoCase(entry, target);
  return EqualsNoCase(target, entry);
}

}  // namespace

bool PartsMatch(const NameParts& target, const NameParts& entry, bool by_prefix) {
  return PartMatches(target.directory, entry.directory, by_prefix) &&
         PartMatches(target.name, entry.name, by_prefix) &&
         PartMatches(target.extension, entry.extension, by_prefix);
}
