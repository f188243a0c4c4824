#include "platform/private_profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unordered_map>

#include "platform/path.h"
#include "platform/temp_file.h"

namespace {

constexpr std::string_view kBlanks = " \t\r";
constexpr std::string_view kLineBreaks = "\r\n";
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return text.substr(text.size());
  const auto last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

std::string_view TrimTrailing(std::string_view text) {
  const auto last = text.find_last_not_of(kBlanks);
  return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

std::string StripQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return std::string(value.substr(1, value.size() - 2));
  }
  return std::string(value);
}

struct NoCaseHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const {
    std::size_t hash = 14695981039346656037ull;
    for (char c : text)
      hash = (hash ^ static_cast<unsigned char>(ToLowerAscii(c))) * 1099511628211ull;
    return hash;
  }
};

struct NoCaseEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return EqualsNoCase(a, b); }
};

enum class LineKind : std::uint8_t { kOther, kSection, kKey };

// What one line means; name and value point into the line's text.
struct LineMeaning {
  LineKind kind = LineKind::kOther;
  std::string_view name;  // the section's name or the key
  std::string_view value;
};

LineMeaning Interpret(std::string_view text) {
  LineMeaning meaning;
  const std::string_view trimmed = Trim(text);
  if (trimmed.empty()) return meaning;
  if (trimmed.front() == '[') {
    const auto close = trimmed.rfind(']');
    const auto inner =
        close == std::string_view::npos ? trimmed.substr(1) : trimmed.substr(1, close - 1);
    meaning.kind = LineKind::kSection;
    meaning.name = Trim(inner);
    return meaning;
  }
  const auto equals = trimmed.find('=');
  if (equals != std::string_view::npos && trimmed.front() != ';') {
    meaning.kind = LineKind::kKey;
    meaning.name = Trim(trimmed.substr(0, equals));
    meaning.value = Trim(trimmed.substr(equals + 1));
  }
  return meaning;
}

// Editors may mark the file as UTF-8; the mark stays but is not part of the line.
std::string_view WithoutByteOrderMark(std::string_view text, bool first_line) {
  if (first_line && text.starts_with(kUtf8ByteOrderMark))
    text.remove_prefix(kUtf8ByteOrderMark.size());
  return text;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// Calls on_line(text, first_line) for each line without its line end until it
// returns false. A missing file reads as empty; false when the file exists but
// cannot be read whole (or is no regular file), so that a write never replaces
// what it did not see. Sets *crlf when a line ended in CR LF.
template <typename OnLine>
bool ForEachLine(const std::string& file, bool* crlf, OnLine&& on_line) {
  // Non-blocking, so that a named pipe in place of the file cannot hang us.
  const int fd = open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return false;
  }
  std::unique_ptr<std::FILE, FileCloser> in(fdopen(fd, "rb"));
  if (!in) {
    close(fd);
    return false;
  }
  char* buffer = nullptr;
  std::size_t capacity = 0;
  bool first_line = true;
  ssize_t length;
  while ((length = getline(&buffer, &capacity, in.get())) >= 0) {
    std::string_view text(buffer, static_cast<std::size_t>(length));
    if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
    if (!text.empty() && text.back() == '\r') {
      if (crlf) *crlf = true;
      text.remove_suffix(1);
    }
    if (!on_line(text, first_line)) break;
    first_line = false;
  }
  std::free(buffer);
  return !std::ferror(in.get());
}

// Calls on_entry(key, value) for each key of the first section named `section`
// until it returns false.
template <typename OnEntry>
void ForEachSectionEntry(const std::string& file, std::string_view section, OnEntry&& on_entry) {
  bool inside = false;
  ForEachLine(file, nullptr, [&](std::string_view text, bool first_line) {
    const LineMeaning line = Interpret(WithoutByteOrderMark(text, first_line));
    if (line.kind == LineKind::kSection) {
      if (inside) return false;  // a later section of the same name does not count
      inside = EqualsNoCase(line.name, section);
      return true;
    }
    return !inside || line.kind != LineKind::kKey || on_entry(line.name, line.value);
  });
}

std::size_t OffsetIn(const std::string& text, std::string_view part) {
  return part.empty() ? 0 : static_cast<std::size_t>(part.data() - text.data());
}

// One line of the file as it was read, with what it means.
struct ProfileLine {
  std::string text;
  LineKind kind = LineKind::kOther;
  std::size_t name_at = 0;
  std::size_t name_size = 0;
  std::size_t value_at = 0;
  std::size_t value_size = 0;

  std::string_view Name() const { return std::string_view(text).substr(name_at, name_size); }
  std::string_view Value() const { return std::string_view(text).substr(value_at, value_size); }
  bool IsBlank() const { return Trim(text).empty(); }
};

ProfileLine MakeLine(std::string text, bool first_line = false) {
  ProfileLine line;
  line.text = std::move(text);
  const LineMeaning meaning = Interpret(WithoutByteOrderMark(line.text, first_line));
  line.kind = meaning.kind;
  line.name_at = OffsetIn(line.text, meaning.name);
  line.name_size = meaning.name.size();
  line.value_at = OffsetIn(line.text, meaning.value);
  line.value_size = meaning.value.size();
  return line;
}

struct ProfileText {
  std::vector<ProfileLine> lines;
  // Hand-written files may use CR LF; rewritten files keep their line ends.
  bool crlf = false;
};

bool ReadProfile(const std::string& file, ProfileText& profile) {
  return ForEachLine(file, &profile.crlf, [&](std::string_view text, bool first_line) {
    profile.lines.push_back(MakeLine(std::string(text), first_line));
    return true;
  });
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
    if (lines[i].kind == LineKind::kSection && EqualsNoCase(lines[i].Name(), section)) return i;
  }
  return lines.size();
}

// One past the last line of the section that starts at `header`.
std::size_t SectionEnd(const std::vector<ProfileLine>& lines, std::size_t header) {
  std::size_t end = header + 1;
  while (end < lines.size() && lines[end].kind != LineKind::kSection) ++end;
  return end;
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

bool EraseSection(std::vector<ProfileLine>& lines, std::string_view section) {
  const std::size_t header = FindSection(lines, section);
  if (header == lines.size()) return false;
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(header),
              lines.begin() + static_cast<std::ptrdiff_t>(SectionEnd(lines, header)));
  return true;
}

// One key to set (or delete, with an empty value) while the section is rewritten.
struct PendingKey {
  std::string_view key;
  std::string_view value;
  bool applied = false;
};

// The keys to apply in the order they were first given; a later entry for the
// same key replaces the value of an earlier one.
class TPendingKeys {
 public:
  void Add(std::string_view key, std::string_view value) {
    const auto [at, added] = index_.try_emplace(std::string(key), keys_.size());
    if (added) {
      keys_.push_back({key, value});
    } else {
      keys_[at->second].value = value;
    }
  }
  PendingKey* Find(std::string_view key) {
    const auto at = index_.find(key);
    return at == index_.end() ? nullptr : &keys_[at->second];
  }
  std::vector<PendingKey>& Keys() { return keys_; }

 private:
  std::vector<PendingKey> keys_;
  std::unordered_map<std::string, std::size_t, NoCaseHash, NoCaseEqual> index_;
};

ProfileLine KeyLine(std::string_view key, std::string_view value) {
  std::string text;
  text.reserve(key.size() + 1 + value.size());
  text.append(key).append("=").append(value);
  return MakeLine(std::move(text));
}

// Sets and deletes the pending keys in one pass over the section; true when a
// line changed. Only the first of duplicate keys is touched.
bool ApplyKeys(std::vector<ProfileLine>& lines, std::string_view section, TPendingKeys& pending) {
  std::vector<ProfileLine> added;
  const std::size_t header = FindSection(lines, section);
  if (header == lines.size()) {
    for (const PendingKey& key : pending.Keys()) {
      if (!key.value.empty()) added.push_back(KeyLine(key.key, key.value));
    }
    if (added.empty()) return false;
    if (!lines.empty() && !lines.back().IsBlank()) lines.push_back(MakeLine(""));
    lines.push_back(MakeLine("[" + std::string(section) + "]"));
    lines.insert(lines.end(), std::make_move_iterator(added.begin()),
                 std::make_move_iterator(added.end()));
    return true;
  }

  bool changed = false;
  std::size_t end = SectionEnd(lines, header);
  std::size_t kept = header + 1;
  for (std::size_t i = header + 1; i < end; ++i) {
    PendingKey* key = lines[i].kind == LineKind::kKey ? pending.Find(lines[i].Name()) : nullptr;
    if (key != nullptr && !key->applied) {
      key->applied = true;
      if (key->value.empty()) {
        changed = true;
        continue;
      }
      if (lines[i].Value() != key->value) {
        // The key keeps the spelling it has in the file.
        lines[i] = KeyLine(lines[i].Name(), key->value);
        changed = true;
      }
    }
    if (kept != i) lines[kept] = std::move(lines[i]);
    ++kept;
  }
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(kept),
              lines.begin() + static_cast<std::ptrdiff_t>(end));
  end = kept;

  for (const PendingKey& key : pending.Keys()) {
    if (!key.applied && !key.value.empty()) added.push_back(KeyLine(key.key, key.value));
  }
  if (added.empty()) return changed;
  // New keys go after the section's last non-blank line, before any blank
  // lines that separate it from the next section.
  std::size_t insert_at = end;
  while (insert_at > header + 1 && lines[insert_at - 1].IsBlank()) --insert_at;
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insert_at),
               std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
  return true;
}

bool WriteAll(int fd, std::string_view contents) {
  std::size_t written = 0;
  while (written < contents.size()) {
    const ssize_t n = write(fd, contents.data() + written, contents.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<std::size_t>(n);
  }
  return true;
}

// Lines go out through a buffer of their own: a file with a huge line is not
// copied whole once more.
bool WriteLines(int fd, const ProfileText& profile) {
  constexpr std::size_t kBufferSize = 1 << 16;
  const std::string_view line_end = profile.crlf ? "\r\n" : "\n";
  std::string buffer;
  buffer.reserve(kBufferSize);
  for (const auto& line : profile.lines) {
    if (buffer.size() + line.text.size() + line_end.size() > kBufferSize) {
      if (!WriteAll(fd, buffer)) return false;
      buffer.clear();
    }
    if (line.text.size() >= kBufferSize) {
      if (!WriteAll(fd, line.text)) return false;
    } else {
      buffer.append(line.text);
    }
    buffer.append(line_end);
  }
  return WriteAll(fd, buffer);
}

bool WriteAtomically(const std::string& file, const ProfileText& profile) {
  std::string temp;
  const int fd = CreateTempFileBeside(file, temp);
  if (fd < 0) return false;
  struct stat existing {};
  fchmod(fd, stat(file.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644);

  // The data must be on disk before the rename makes it the settings file.
  const bool written = WriteLines(fd, profile) && fsync(fd) == 0;
  const bool closed = close(fd) == 0;
  if (!written || !closed || std::rename(temp.c_str(), file.c_str()) != 0) {
    unlink(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace

std::vector<std::optional<std::string>> GetPrivateProfileStrings(
    std::string_view section, std::span<const std::string_view> keys, const std::string& file) {
  std::vector<std::optional<std::string>> values(keys.size());
  if (keys.empty()) return values;
  std::unordered_map<std::string_view, std::size_t, NoCaseHash, NoCaseEqual> wanted;
  for (std::size_t i = 0; i < keys.size(); ++i) wanted.try_emplace(keys[i], i);
  std::size_t missing = wanted.size();
  ForEachSectionEntry(file, section, [&](std::string_view name, std::string_view value) {
    const auto found = wanted.find(name);
    if (found == wanted.end() || values[found->second]) return true;
    values[found->second] = StripQuotes(value);
    return --missing > 0;  // later duplicates do not count
  });
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const std::size_t first = wanted.find(keys[i])->second;
    if (first != i) values[i] = values[first];
  }
  return values;
}

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view default_value, const std::string& file) {
  std::optional<std::string> found =
      std::move(GetPrivateProfileStrings(section, {&key, 1}, file)[0]);
  return found ? *std::move(found) : std::string(TrimTrailing(default_value));
}

bool WritePrivateProfileString(std::string_view section, const char* key, const char* value,
                               const std::string& file) {
  if (!IsWritableSection(section)) return false;
  if (key == nullptr) {
    ProfileText profile;
    if (!ReadProfile(file, profile)) return false;
    return !EraseSection(profile.lines, section) || WriteAtomically(WriteTarget(file), profile);
  }
  std::optional<std::string> text;
  if (value != nullptr) text = value;
  return WritePrivateProfileEntries(section, {ProfileEntry{key, std::move(text)}}, file);
}

bool WritePrivateProfileEntries(std::string_view section, const std::vector<ProfileEntry>& entries,
                                const std::string& file) {
  if (!IsWritableSection(section)) return false;
  bool all_accepted = true;
  TPendingKeys pending;
  for (const auto& entry : entries) {
    const std::string_view value =
        entry.value ? std::string_view(*entry.value) : std::string_view();
    if (!IsWritableEntry(entry.key, value)) {
      all_accepted = false;
      continue;
    }
    pending.Add(Trim(entry.key), value);
  }
  ProfileText profile;
  if (!ReadProfile(file, profile)) return false;
  if (ApplyKeys(profile.lines, section, pending) && !WriteAtomically(WriteTarget(file), profile))
    return false;
  return all_accepted;
}
