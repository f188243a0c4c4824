#include "system/registry_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <vector>

#include "platform/path.h"
#include "platform/system_folder.h"

namespace {
constexpr std::string_view kRootPrefix = "HKEY_CLASSES_ROOT\\";
constexpr std::string_view kHeader = "REGEDIT4";

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

// `key` is `parent` or lies below it.
bool IsWithin(std::string_view key, std::string_view parent) {
  if (key.size() < parent.size() || !SameName(key.substr(0, parent.size()), parent)) return false;
  return key.size() == parent.size() || key[parent.size()] == '\\';
}

bool HasLineBreakOrZero(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool IsValidKey(std::string_view key) {
  if (key.empty() || HasLineBreakOrZero(key) || key.front() == '\\' || key.back() == '\\') {
    return false;
  }
  return key.find("\\\\") == std::string_view::npos && key.find(']') == std::string_view::npos;
}

std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '\\' || c == '"') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

// Reads a quoted text starting at `text[*at]`; leaves *at after the closing quote.
std::optional<std::string> Unquoted(std::string_view text, std::size_t* at) {
  std::size_t i = *at;
  if (i >= text.size() || text[i] != '"') return std::nullopt;
  std::string value;
  for (++i; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      value += text[++i];
    } else if (text[i] == '"') {
      *at = i + 1;
      return value;
    } else {
      value += text[i];
    }
  }
  return std::nullopt;
}

struct RegistryLine {
  std::string text;
  std::optional<std::string> key;   // a "[HKEY_CLASSES_ROOT\...]" line
  std::optional<std::string> name;  // a value line: "@" reads as the empty name
  std::string value;
};

RegistryLine Parse(std::string text) {
  RegistryLine line;
  line.text = std::move(text);
  const std::string_view view = line.text;
  if (view.size() > kRootPrefix.size() + 2 && view.front() == '[' && view.back() == ']' &&
      SameName(view.substr(1, kRootPrefix.size()), kRootPrefix)) {
    line.key =
        std::string(view.substr(1 + kRootPrefix.size(), view.size() - 2 - kRootPrefix.size()));
    return line;
  }
  std::size_t at = 0;
  std::optional<std::string> name;
  if (view.starts_with("@=")) {
    name = std::string();
    at = 1;
  } else {
    name = Unquoted(view, &at);
  }
  if (!name || at >= view.size() || view[at] != '=') return line;
  ++at;
  std::optional<std::string> value = Unquoted(view, &at);
  if (!value || at != view.size()) return line;
  line.name = std::move(name);
  line.value = std::move(*value);
  return line;
}

std::string ValueLine(std::string_view name, std::string_view value) {
  return (name.empty() ? std::string("@") : Quoted(name)) + "=" + Quoted(value);
}

class RegistryText {
 public:
  // False when the file exists but cannot be read.
  bool Read(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in.is_open()) return errno == ENOENT;
    std::string text;
    while (std::getline(in, text)) {
      if (!text.empty() && text.back() == '\r') text.pop_back();
      lines_.push_back(Parse(std::move(text)));
    }
    return !in.bad();
  }

  // Index of the key's line, or size() when missing.
  std::size_t FindKey(std::string_view key) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      if (lines_[i].key && SameName(*lines_[i].key, key)) return i;
    }
    return lines_.size();
  }
  // One past the last line of the key that starts at `start`.
  std::size_t EndOfKey(std::size_t start) const {
    std::size_t end = start + 1;
    while (end < lines_.size() && !lines_[end].key) ++end;
    return end;
  }
  std::size_t FindValue(std::size_t start, std::string_view name) const {
    const std::size_t end = EndOfKey(start);
    for (std::size_t i = start + 1; i < end; ++i) {
      if (lines_[i].name && SameName(*lines_[i].name, name)) return i;
    }
    return lines_.size();
  }

  std::vector<RegistryLine>& Lines() { return lines_; }
  const std::vector<RegistryLine>& Lines() const { return lines_; }

  bool Write(const std::string& file) const {
    std::string text;
    if (lines_.empty() || lines_.front().text != kHeader) text = std::string(kHeader) + "\n\n";
    for (const RegistryLine& line : lines_) text += line.text + "\n";
    const PathParts parts = SplitPath(file);
    if (!parts.directory.empty() && !EnsureDirectory(parts.directory)) return false;
    std::string temp = file + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    struct stat existing {};
    ::fchmod(fd, ::stat(file.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644);
    std::size_t written = 0;
    while (written < text.size()) {
      const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      written += static_cast<std::size_t>(n);
    }
    const bool flushed = written == text.size() && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!flushed || !closed || std::rename(temp.c_str(), file.c_str()) != 0) {
      ::unlink(temp.c_str());
      return false;
    }
    return true;
  }

 private:
  std::vector<RegistryLine> lines_;
};
}  // namespace

TRegistryStore::TRegistryStore() : file_(WindowsDirectory() + "/" + kRegistryFileName) {}

std::optional<std::string> TRegistryStore::QueryValue(std::string_view key, std::string_view name,
                                                      std::size_t buffer_size) const {
  RegistryText text;
  if (!IsValidKey(key) || !text.Read(file_)) return std::nullopt;
  const std::size_t start = text.FindKey(key);
  if (start == text.Lines().size()) return std::nullopt;
  const std::size_t at = text.FindValue(start, name);
  if (at == text.Lines().size()) return std::nullopt;
  const std::string& value = text.Lines()[at].value;
  if (buffer_size > 0 && value.size() + 1 > buffer_size) return std::nullopt;
  return value;
}

bool TRegistryStore::KeyExists(std::string_view key) const {
  RegistryText text;
  if (!IsValidKey(key) || !text.Read(file_)) return false;
  for (const RegistryLine& line : text.Lines()) {
    if (line.key && IsWithin(*line.key, key)) return true;
  }
  return false;
}

std::vector<std::string> TRegistryStore::TopLevelKeys() const {
  RegistryText text;
  std::vector<std::string> keys;
  if (!text.Read(file_)) return keys;
  for (const RegistryLine& line : text.Lines()) {
    if (!line.key) continue;
    const std::string top = line.key->substr(0, line.key->find('\\'));
    bool known = false;
    for (const std::string& key : keys) known = known || SameName(key, top);
    if (!known) keys.push_back(top);
  }
  return keys;
}

bool TRegistryStore::SetValue(std::string_view key, std::string_view name, std::string_view value) {
  if (!IsValidKey(key) || HasLineBreakOrZero(name) || HasLineBreakOrZero(value)) return false;
  RegistryText text;
  if (!text.Read(file_)) return false;
  auto& lines = text.Lines();
  std::size_t start = text.FindKey(key);
  if (start == lines.size()) {
    if (!lines.empty() && !lines.back().text.empty()) lines.push_back(Parse(""));
    lines.push_back(Parse("[" + std::string(kRootPrefix) + std::string(key) + "]"));
    start = lines.size() - 1;
  }
  const std::size_t at = text.FindValue(start, name);
  RegistryLine line = Parse(ValueLine(name, value));
  if (at != lines.size()) {
    lines[at] = std::move(line);
  } else {
    // After the key's last non-blank line, so the blank line between keys stays.
    std::size_t insert = text.EndOfKey(start);
    while (insert > start + 1 && lines[insert - 1].text.empty()) --insert;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insert), std::move(line));
  }
  return text.Write(file_);
}

bool TRegistryStore::DeleteKey(std::string_view key) {
  if (!IsValidKey(key)) return false;
  RegistryText text;
  if (!text.Read(file_)) return false;
  auto& lines = text.Lines();
  bool removed = false;
  for (std::size_t i = 0; i < lines.size();) {
    if (lines[i].key && IsWithin(*lines[i].key, key)) {
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i),
                  lines.begin() + static_cast<std::ptrdiff_t>(text.EndOfKey(i)));
      removed = true;
    } else {
      ++i;
    }
  }
  return !removed || text.Write(file_);
}

bool TRegistryStore::DeleteValue(std::string_view key, std::string_view name) {
  if (!IsValidKey(key)) return false;
  RegistryText text;
  if (!text.Read(file_)) return false;
  const std::size_t start = text.FindKey(key);
  if (start == text.Lines().size()) return true;
  const std::size_t at = text.FindValue(start, name);
  if (at == text.Lines().size()) return true;
  text.Lines().erase(text.Lines().begin() + static_cast<std::ptrdiff_t>(at));
  return text.Write(file_);
}
