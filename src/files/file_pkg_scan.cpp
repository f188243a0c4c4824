// Expanding specifications into the file list: patterns, directories, the
// recursive "..." form, siblings of a named file, and slideshow list files.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "files/archive_folder.h"
#include "files/file_pattern.h"
#include "files/file_pkg.h"
#include "files/file_spelling.h"
#include "files/file_types.h"
#include "files/name_match.h"
#include "platform/long_operation.h"
#include "platform/path.h"

namespace {

constexpr std::string_view kRecursiveSuffix = "...";
constexpr char kAnyName[] = "*";
constexpr char kAnyExtension[] = ".*";
// Longer words in a list file cannot name a file; they are skipped.
constexpr std::size_t kMaxListWordLength = 4096;

// Process-wide, as list files and subdirectories nest through AddSpec itself.
int scan_depth = 0;
int list_files_opened = 0;  // within the outermost AddSpec

class ScanDepthRaise {
 public:
  ScanDepthRaise() {
    if (scan_depth++ == 0) list_files_opened = 0;
  }
  ~ScanDepthRaise() { --scan_depth; }
  ScanDepthRaise(const ScanDepthRaise&) = delete;
  ScanDepthRaise& operator=(const ScanDepthRaise&) = delete;
};

struct FolderId {
  dev_t device;
  ino_t inode;
  bool operator==(const FolderId&) const = default;
};

// The folders the running scans are inside, outermost first. A link back to
// any of them would repeat the scan below it until the depth limit, growing
// as the number of such links to the power of the depth.
std::vector<FolderId> folders_on_path;

// Enters an open folder unless it is already on the path.
class FolderOnPath {
 public:
  explicit FolderOnPath(DIR* dir) {
    struct stat info {};
    if (fstat(dirfd(dir), &info) != 0) return;
    const FolderId id{info.st_dev, info.st_ino};
    if (std::find(folders_on_path.begin(), folders_on_path.end(), id) != folders_on_path.end())
      return;
    folders_on_path.push_back(id);
    entered_ = true;
  }
  ~FolderOnPath() {
    if (entered_) folders_on_path.pop_back();
  }
  FolderOnPath(const FolderOnPath&) = delete;
  FolderOnPath& operator=(const FolderOnPath&) = delete;

  bool Entered() const { return entered_; }

 private:
  bool entered_ = false;
};

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};
struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

enum class EntryKind { kFile, kDirectory, kOther };

// Symbolic links count as what they point to; a dangling link is neither.
EntryKind KindOf(const std::string& path, unsigned char type) {
  if (type == DT_REG) return EntryKind::kFile;
  if (type == DT_DIR) return EntryKind::kDirectory;
  if (type != DT_LNK && type != DT_UNKNOWN) return EntryKind::kOther;
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return EntryKind::kOther;
  if (S_ISREG(info.st_mode)) return EntryKind::kFile;
  if (S_ISDIR(info.st_mode)) return EntryKind::kDirectory;
  return EntryKind::kOther;
}

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsDirectory(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::string CurrentDirectory() {
  std::string buffer(4096, '\0');
  if (!getcwd(buffer.data(), buffer.size())) return "./";
  buffer.resize(std::char_traits<char>::length(buffer.c_str()));
  if (buffer.empty() || buffer.back() != '/') buffer += '/';
  return buffer;
}

// A specification without an extension names a directory unless it is an
// existing file (many Linux files have no extension); an existing directory
// is a directory whatever its name looks like.
bool NamesDirectory(const std::string& spec, const PathParts& parts) {
  if (HasWildcards(parts.name + parts.extension)) return false;
  if (IsDirectory(spec)) return true;
  return parts.extension.empty() && !IsRegularFile(spec);
}

// Reads the next whitespace-separated word; false at the end of the file.
bool ReadWord(std::FILE* file, std::string& word) {
  word.clear();
  int c;
  while ((c = std::getc(file)) != EOF && std::isspace(c)) {
  }
  bool too_long = false;
  for (; c != EOF && !std::isspace(c); c = std::getc(file)) {
    if (word.size() < kMaxListWordLength) {
      word += static_cast<char>(c);
    } else {
      too_long = true;
    }
  }
  if (too_long) word.clear();
  return c != EOF || !word.empty() || too_long;
}

}  // namespace

struct TFilePkg::ScanPattern {
  std::string directory;  // ends in "/"
  std::string name;
  std::string extension;
  int index;
  bool subdirectories;
};

void TFilePkg::AddSpec(std::string_view spec, int index, bool add_siblings,
                       bool search_subdirectories, FileEntry* anchor) {
  ScanDepthRaise depth;
  std::string text = ExpandHome(spec);
  if (text.empty()) return;  // would otherwise name the root folder
  if (text.size() > kRecursiveSuffix.size() && EndsWith(text, kRecursiveSuffix)) {
    text.resize(text.size() - kRecursiveSuffix.size());
    if (text.back() != '/') text += '/';
    text += "*.*";
    search_subdirectories = true;
  }
  PathParts parts = SplitPath(text);
  const bool names_directory = NamesDirectory(text, parts);
  if (names_directory) {
    if (text.back() != '/') text += '/';
    parts = SplitPath(text);
  }

  const bool name_missing = parts.name.empty();
  // A pattern without an extension ("pic*") matches with any extension.
  const bool extension_missing =
      parts.extension.empty() && (names_directory || HasWildcards(parts.name));
  const PathParts filled{
      parts.drive,
      parts.directory.empty() ? CurrentDirectory() : parts.directory,
      name_missing ? std::string(kAnyName) : parts.name,
      extension_missing ? std::string(kAnyExtension) : parts.extension,
  };
  const std::string path = JoinPath(filled);

  if (name_missing || extension_missing || HasWildcards(path)) {
    ScanDirectory({filled.directory, filled.name, filled.extension, index, search_subdirectories},
                  anchor);
  } else if (!IsSlideListExtension(filled.extension)) {
    AddListName(NormaliseListName(path), anchor);
    TakeAnchor(anchor);
    if (add_siblings) {
      ScanDirectory({filled.directory, std::string(kAnyName), std::string(kAnyExtension), index,
                     search_subdirectories},
                    anchor);
    }
  } else if (scan_depth < kMaxScanDepth) {
    ReadSlideList(SpellingFromFileSystem(path), index);
  }
}

void TFilePkg::ScanDirectory(const ScanPattern& pattern, FileEntry*& anchor) {
  std::unique_ptr<DIR, DirCloser> dir(opendir(pattern.directory.c_str()));
  if (!dir) return;
  const FolderOnPath on_path(dir.get());
  if (!on_path.Entered()) return;
  // Messages pumped between entries may clear or thin the list; the anchor
  // may then be gone, so the scan ends.
  const std::uint64_t removals_at_start = removals_;
  while (const dirent* entry = readdir(dir.get())) {
    const std::string_view file_name = entry->d_name;
    // Dot names are ".", ".." and the files Linux hides.
    if (file_name.empty() || file_name.front() == '.') continue;
    if (!MatchesFilePattern(pattern.name, pattern.extension, file_name)) continue;
    const std::string path = pattern.directory + std::string(file_name);
    const EntryKind kind = KindOf(path, entry->d_type);
    if (kind == EntryKind::kOther) continue;
    if (kind == EntryKind::kDirectory) {
      if (!pattern.subdirectories) continue;
      if (scan_depth < kMaxScanDepth) {
        AddSpec(path + "/*.*", pattern.index, false, true, anchor);
      }
    } else {
      // The name comes from the directory itself, so it needs no look-up.
      std::string name = NormaliseScannedName(path);
      const std::string_view extension = SplitNameParts(file_name).extension;
      const bool added_members =
          ClassTakesArchiveFolders(pattern.index) && AddArchiveMembers(name, anchor);
      if (!added_members && ExtensionInClass(extension, pattern.index)) {
        InsertName(std::move(name), anchor);
      }
    }
    TakeAnchor(anchor);
    if (PollLongOperation(-1) || removals_ != removals_at_start) break;
  }
}

// Words resolve against the current directory, not the list file's own.
void TFilePkg::ReadSlideList(const std::string& path, int index) {
  if (list_files_opened >= kMaxListFilesPerSpec) return;
  ++list_files_opened;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rt"));
  if (!file) return;
  std::string word;
  while (ReadWord(file.get(), word)) {
    if (!word.empty()) AddSpec(word, index, false, false, nullptr);
  }
}
