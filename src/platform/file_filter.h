// The program's filter lists for file dialogs: "Desc|*.a;*.b|Desc2|*.c|".
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct FileFilter {
  std::string description;
  std::vector<std::string> patterns;  // "*.gif", "*.*"
};

// Pairs of description and ";"-separated patterns; a trailing description
// without patterns is dropped.
std::vector<FileFilter> ParseFilterList(std::string_view list);

// Wildcard match without regard to case: "*" any run, "?" one character;
// "*.*" matches every name, with or without an extension.
bool MatchesPattern(std::string_view name, std::string_view pattern);
bool MatchesFilter(std::string_view name, const FileFilter& filter);
