// Comparing a typed name with list entries part by part (directory, name,
// extension), without copying: Go to slide walks every entry of large lists.
#pragma once

#include <string_view>

struct NameParts {
  std::string_view directory;  // with its trailing "/", empty when absent
  std::string_view name;
  std::string_view extension;  // with its ".", empty when absent
};

// Splits as SplitPath does; the views point into `path`.
NameParts SplitNameParts(std::string_view path);

// Compares only the parts present in both, each without regard to case. A part
// matches when it has the same length and text; with `by_prefix` also when the
// target's part is shorter and begins the entry's part.
bool PartsMatch(const NameParts& target, const NameParts& entry, bool by_prefix);
