#include "platform/private_profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

#include "platform/path.h"

namespace {

constexpr std::string_view kBlanks = " \t\r";

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

// One line of the file as it was read, with what it means.
struct ProfileLine {
  std::string text;
  std::optional<std::string> section;  // set on a "[name]" line
  std::optional<std::string> key;      // set on a "key=value" line
  std::string value;
};

ProfileLine ParseLine(std::string text) {
  ProfileLine line;
  while (!text.empty() && text.back() == '\r') text.pop_back();
  line.text = text;
  const std::string_view trimmed = Trim(text);
  if (!trimmed.empty() && trimmed.front() == '[') {
    const auto close = trimmed.rfind(']');
    const auto inner = close == std::string_view::npos ? trimmed.substr(1)
                                                       : trimmed.substr(1, close - 1);
    line.section = std::string(Trim(inner));
    return line;
  }
  const auto equals = trimmed.find('=');
  if (equals != std::string_view::npos && trimmed.front() != ';') {
    line.key = std::string(Trim(trimmed.substr(0, equals)));
    line.value = std::string(Trim(trimmed.substr(equals + 1)));
  }
  return line;
}

std::vector<ProfileLine> ReadProfile(const std::string& file) {
  std::vector<ProfileLine> lines;
  std::ifstream in(file, std::ios::binary);
  std::string text;
  while (std::getline(in, text)) lines.push_back(ParseLine(std::move(text)));
  return lines;
}

// Index of the first "[section]" line, or lines.size().
std::size_t FindSection(const std::vector<ProfileLine>& lines, std::string_view section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].section && EqualsNoCase(*lines[i].section, section)) return i;
  }
  return lines.size();
}

// One past the last line of the section that starts at `header`.
std::size_t SectionEnd(const std::vector<ProfileLine>& lines, std::size_t header) {
  std::size_t end = header + 1;
  while (end < lines.size() && !lines[end].section) ++end;
  return end;
}

std::string StripQuotes(std::string value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

bool WriteAtomically(const std::string& file, const std::vector<ProfileLine>& lines) {
  const PathParts parts = SplitPath(file);
  std::string pattern = (parts.directory.empty() ? std::string("./") : parts.directory) + "." +
                        parts.name + parts.extension + ".XXXXXX";
  const int fd = mkstemp(pattern.data());
  if (fd < 0) return false;
  struct stat existing {};
  fchmod(fd, stat(file.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644);

  std::string contents;
  for (const auto& line : lines) contents += line.text + "\n";
  std::size_t written = 0;
  while (written < contents.size()) {
    const ssize_t n = write(fd, contents.data() + written, contents.size() - written);
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
  const bool ok = written == contents.size() && close(fd) == 0;
  if (!ok || std::rename(pattern.c_str(), file.c_str()) != 0) {
    if (written != contents.size()) close(fd);
    unlink(pattern.c_str());
    return false;
  }
  return true;
}

}  // namespace

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view default_value, const std::string& file) {
  const auto lines = ReadProfile(file);
  const std::size_t header = FindSection(lines, section);
  if (header == lines.size()) return std::string(Trim(default_value));
  const std::size_t end = SectionEnd(lines, header);
  for (std::size_t i = header + 1; i < end; ++i) {
    if (lines[i].key && EqualsNoCase(*lines[i].key, key)) return StripQuotes(lines[i].value);
  }
  return std::string(Trim(default_value));
}

bool WritePrivateProfileString(std::string_view section, const char* key, const char* value,
                               const std::string& file) {
  auto lines = ReadProfile(file);
  const std::size_t header = FindSection(lines, section);
  const bool erase_key = value == nullptr || *value == '\0';

  if (key == nullptr) {
    if (header == lines.size()) return true;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(header),
                lines.begin() + static_cast<std::ptrdiff_t>(SectionEnd(lines, header)));
    return WriteAtomically(file, lines);
  }

  if (header == lines.size()) {
    if (erase_key) return true;
    if (!lines.empty() && !Trim(lines.back().text).empty()) lines.push_back(ParseLine(""));
    lines.push_back(ParseLine("[" + std::string(section) + "]"));
    lines.push_back(ParseLine(std::string(key) + "=" + value));
    return WriteAtomically(file, lines);
  }

  const std::size_t end = SectionEnd(lines, header);
  for (std::size_t i = header + 1; i < end; ++i) {
    if (!lines[i].key || !EqualsNoCase(*lines[i].key, key)) continue;
    if (erase_key) {
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      lines[i] = ParseLine(std::string(key) + "=" + value);
    }
    return WriteAtomically(file, lines);
  }
  if (erase_key) return true;

  // A new key goes after the section's last non-blank line, before any blank
  // lines that separate it from the next section.
  std::size_t insert_at = end;
  while (insert_at > header + 1 && Trim(lines[insert_at - 1].text).empty()) --insert_at;
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insert_at),
               ParseLine(std::string(key) + "=" + value));
  return WriteAtomically(file, lines);
}
