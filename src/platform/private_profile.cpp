#include "platform/private_profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "platform/path.h"

namespace {

constexpr std::string_view kBlanks = " \t\r";
constexpr std::string_view kLineBreaks = "\r\n";
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

std::string_view TrimTrailing(std::string_view text) {
  const auto last = text.find_last_not_of(kBlanks);
  return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

// One line of the file as it was read, with what it means.
struct ProfileLine {
  std::string text;
  std::optional<std::string> section;  // set on a "[name]" line
  std::optional<std::string> key;      // set on a "key=value" line
  std::string value;
};

struct ProfileText {
  std::vector<ProfileLine> lines;
  // Hand-written files may use CR LF; rewritten files keep their line ends.
  std::string line_end = "\n";
};

ProfileLine ParseLine(std::string text) {
  ProfileLine line;
  line.text = std::move(text);
  const std::string_view trimmed = Trim(line.text);
  if (!trimmed.empty() && trimmed.front() == '[') {
    const auto close = trimmed.rfind(']');
    const auto inner =
        close == std::string_view::npos ? trimmed.substr(1) : trimmed.substr(1, close - 1);
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

// A missing file reads as empty. `readable` turns false when the file exists
// but cannot be read whole, so that a write never replaces what it did not see.
ProfileText ReadProfile(const std::string& file, bool* readable = nullptr) {
  ProfileText profile;
  std::ifstream in(file, std::ios::binary);
  if (readable) *readable = in.is_open() || errno == ENOENT;
  std::string text;
  while (std::getline(in, text)) {
    if (!text.empty() && text.back() == '\r') {
      profile.line_end = "\r\n";
      text.pop_back();
    }
    if (profile.lines.empty() && text.starts_with(kUtf8ByteOrderMark)) {
      // Editors may mark the file as UTF-8; the mark stays but is not part of the line.
      ProfileLine first = ParseLine(text.substr(kUtf8ByteOrderMark.size()));
      first.text = std::move(text);
      profile.lines.push_back(std::move(first));
      continue;
    }
    profile.lines.push_back(ParseLine(std::move(text)));
  }
  if (readable && in.bad()) *readable = false;
  return profile;
}

// Writes go to the file a symbolic link points at, so the link survives.
std::string WriteTarget(const std::string& file) {
  struct stat info {};
  if (lstat(file.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return file;
  char* resolved = realpath(file.c_str(), nullptr);
  if (!resolved) return file;
  std::string target = resolved;
  std::free(resolved);
  return target;
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

bool HasLineBreak(std::string_view text) {
  return text.find_first_of(kLineBreaks) != std::string_view::npos ||
         text.find('\0') != std::string_view::npos;
}

// Names and values that would read back as something else are refused.
bool IsWritableSection(std::string_view section) {
  return !HasLineBreak(section) && section.find(']') == std::string_view::npos;
}

bool IsWritableEntry(std::string_view key, std::string_view value) {
  const std::string_view name = Trim(key);
  return !name.empty() && !HasLineBreak(key) && key.find('=') == std::string_view::npos &&
         name.front() != '[' && name.front() != ';' && !HasLineBreak(value);
}

void EraseSection(std::vector<ProfileLine>& lines, std::string_view section) {
  const std::size_t header = FindSection(lines, section);
  if (header == lines.size()) return;
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(header),
              lines.begin() + static_cast<std::ptrdiff_t>(SectionEnd(lines, header)));
}

// Sets or deletes one key (an empty value deletes).
void ApplyEntry(std::vector<ProfileLine>& lines, std::string_view section, std::string_view key,
                std::string_view value) {
  const std::size_t header = FindSection(lines, section);
  if (header == lines.size()) {
    if (value.empty()) return;
    if (!lines.empty() && !Trim(lines.back().text).empty()) lines.push_back(ParseLine(""));
    lines.push_back(ParseLine("[" + std::string(section) + "]"));
    lines.push_back(ParseLine(std::string(key) + "=" + std::string(value)));
    return;
  }

  const std::size_t end = SectionEnd(lines, header);
  for (std::size_t i = header + 1; i < end; ++i) {
    if (!lines[i].key || !EqualsNoCase(*lines[i].key, key)) continue;
    if (value.empty()) {
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
    } else if (lines[i].value != value) {
      // The key keeps the spelling it has in the file.
      lines[i] = ParseLine(*lines[i].key + "=" + std::string(value));
    }
    return;
  }
  if (value.empty()) return;

  // A new key goes after the section's last non-blank line, before any blank
  // lines that separate it from the next section.
  std::size_t insert_at = end;
  while (insert_at > header + 1 && Trim(lines[insert_at - 1].text).empty()) --insert_at;
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insert_at),
               ParseLine(std::string(key) + "=" + std::string(value)));
}

bool SameText(const std::vector<ProfileLine>& a, const std::vector<ProfileLine>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].text != b[i].text) return false;
  }
  return true;
}

bool WriteAll(int fd, const std::string& contents) {
  std::size_t written = 0;
  while (written < contents.size()) {
    const ssize_t n = write(fd, contents.data() + written, contents.size() - written);
    if (n <= 0) return false;
    written += static_cast<std::size_t>(n);
  }
  return true;
}

bool WriteAtomically(const std::string& file, const ProfileText& profile) {
  const PathParts parts = SplitPath(file);
  std::string temp = (parts.directory.empty() ? std::string("./") : parts.directory) + "." +
                     parts.name + parts.extension + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return false;
  struct stat existing {};
  fchmod(fd, stat(file.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644);

  std::string contents;
  for (const auto& line : profile.lines) contents += line.text + profile.line_end;
  // The data must be on disk before the rename makes it the settings file.
  const bool written = WriteAll(fd, contents) && fsync(fd) == 0;
  const bool closed = close(fd) == 0;
  if (!written || !closed || std::rename(temp.c_str(), file.c_str()) != 0) {
    unlink(temp.c_str());
    return false;
  }
  return true;
}

bool WriteIfChanged(const std::string& file, const ProfileText& original,
                    const ProfileText& changed) {
  if (SameText(original.lines, changed.lines)) return true;
  return WriteAtomically(WriteTarget(file), changed);
}

}  // namespace

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view default_value, const std::string& file) {
  const auto lines = ReadProfile(file).lines;
  const std::size_t header = FindSection(lines, section);
  if (header == lines.size()) return std::string(TrimTrailing(default_value));
  const std::size_t end = SectionEnd(lines, header);
  for (std::size_t i = header + 1; i < end; ++i) {
    if (lines[i].key && EqualsNoCase(*lines[i].key, key)) return StripQuotes(lines[i].value);
  }
  return std::string(TrimTrailing(default_value));
}

bool WritePrivateProfileString(std::string_view section, const char* key, const char* value,
                               const std::string& file) {
  if (!IsWritableSection(section)) return false;
  bool readable = false;
  errno = 0;
  const ProfileText original = ReadProfile(file, &readable);
  if (!readable) return false;
  ProfileText changed = original;
  if (key == nullptr) {
    EraseSection(changed.lines, section);
  } else {
    const std::string_view text = value ? std::string_view(value) : std::string_view();
    if (!IsWritableEntry(key, text)) return false;
    ApplyEntry(changed.lines, section, Trim(key), text);
  }
  return WriteIfChanged(file, original, changed);
}

bool WritePrivateProfileEntries(std::string_view section, const std::vector<ProfileEntry>& entries,
                                const std::string& file) {
  if (!IsWritableSection(section)) return false;
  bool readable = false;
  errno = 0;
  const ProfileText original = ReadProfile(file, &readable);
  if (!readable) return false;
  ProfileText changed = original;
  bool all_accepted = true;
  for (const auto& entry : entries) {
    const std::string_view text = entry.value ? std::string_view(*entry.value) : std::string_view();
    if (!IsWritableEntry(entry.key, text)) {
      all_accepted = false;
      continue;
    }
    ApplyEntry(changed.lines, section, Trim(entry.key), text);
  }
  return WriteIfChanged(file, original, changed) && all_accepted;
}
