#include "platform/wx/wx_file_patterns.h"

#include <cctype>
#include <vector>

namespace {
// "*.tif*.zip" -> "*.tif", "*.zip": within a pattern that starts with "*.",
// a later "*." starts the next one.
std::vector<std::string> SplitRunTogether(std::string_view pattern) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t i = 1; i + 1 < pattern.size(); ++i) {
    const bool starts_with_extension = pattern.substr(start).starts_with("*.");
    if (starts_with_extension && i > start + 1 && pattern[i] == '*' && pattern[i + 1] == '.') {
      parts.emplace_back(pattern.substr(start, i - start));
      start = i;
    }
  }
  parts.emplace_back(pattern.substr(start));
  return parts;
}

std::string CaseInsensitivePatternList(std::string_view list) {
  std::string result;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(';', start);
    if (end == std::string_view::npos) end = list.size();
    for (const std::string& pattern : SplitRunTogether(list.substr(start, end - start))) {
      if (pattern.empty()) continue;
      if (!result.empty()) result += ';';
      result += CaseInsensitivePattern(pattern);
    }
    start = end + 1;
  }
  return result;
}
}  // namespace

std::string CaseInsensitivePattern(std::string_view pattern) {
  std::string result;
  result.reserve(pattern.size() * 4);
  for (const char c : pattern) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (std::isalpha(byte)) {
      result += '[';
      result += static_cast<char>(std::tolower(byte));
      result += static_cast<char>(std::toupper(byte));
      result += ']';
    } else {
      result += c;
    }
  }
  return result;
}

std::string WxFilterList(std::string_view filters) {
  std::string result;
  bool description = true;
  std::size_t start = 0;
  while (start < filters.size()) {
    std::size_t end = filters.find('|', start);
    if (end == std::string_view::npos) end = filters.size();
    const std::string_view field = filters.substr(start, end - start);
    if (!result.empty()) result += '|';
    result += description ? std::string(field) : CaseInsensitivePatternList(field);
    description = !description;
    start = end + 1;
  }
  // A description without patterns would make the chooser show nothing.
  if (!description) {
    const std::size_t bar = result.rfind('|');
    result.erase(bar == std::string::npos ? 0 : bar);
  }
  return result;
}
