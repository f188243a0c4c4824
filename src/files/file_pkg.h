// TFilePkg: the list of files the viewer steps through. It expands
// specifications (patterns, directories, recursive "..." forms, slideshow list
// files) into names and keeps them in two circular orders at once: sorted by
// name, and an insertion shuffle drawn from the process-wide generator. It
// holds names only and never opens pictures.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "files/entry_positions.h"
#include "files/file_entry.h"

// What Current, Next and Previous give for an empty list; callers compare
// with it, case ignored.
inline constexpr std::string_view kNoFile = "No File";

// Neither a subdirectory nor a list file is opened once this many scans nest.
inline constexpr int kMaxScanDepth = 8;
// List files that name each other branch at every level below the depth
// limit; this caps the list files one outermost AddSpec opens.
inline constexpr int kMaxListFilesPerSpec = 1024;

// Which entry IsSound and IsMovie look at.
enum class Neighbour { kCurrent, kNext, kPrevious };

class TProfile;

class TFilePkg {
 public:
  TFilePkg() = default;
  ~TFilePkg() { Clear(); }
  TFilePkg(const TFilePkg&) = delete;
  TFilePkg& operator=(const TFilePkg&) = delete;

  // Expands one specification into entries. `index` is the file-type index
  // (files/file_types.h). Top-level callers pass a null anchor; a non-null
  // anchor is the first entry of the scan group being built.
  void AddSpec(std::string_view spec, int index, bool add_siblings, bool search_subdirectories,
               FileEntry* anchor = nullptr);
  // Inserts one name, spelled as the file system spells it. Without an anchor
  // the name goes last; with one it is sorted into the group that runs from
  // the anchor to the last entry, which only anchored adds may have built.
  void AddFile(std::string_view name, FileEntry* anchor = nullptr);

  // The settings whose ZipAsFolder decides whether a zip or cbz archive adds
  // one entry per picture member (archive_folder.h) instead of itself. Without
  // settings archives are single entries.
  void UseSettings(const TProfile* settings) { settings_ = settings; }

  void Clear();
  // Removes every entry whose name equals `name` (case ignored); true if any.
  bool RemoveName(std::string_view name);
  // Makes the next entry matching `typed` current: exact parts first, then
  // prefixes. Leaves current as it was when nothing matches. An archive shown
  // as a folder is found at its first member.
  void GoTo(std::string_view typed);

  // The current name, or "No File". The names returned stay valid until the
  // list next changes.
  const std::string& Current() const;
  // Order 0 steps in sorted order, 1 in random order.
  const std::string& Next(int order);
  const std::string& Previous(int order);
  // No current entry, or the current one is the last in sorted order.
  bool AtEnd() const;

  bool IsSound(Neighbour which = Neighbour::kCurrent, int order = kSortedOrder) const;
  bool IsMovie(Neighbour which = Neighbour::kCurrent, int order = kSortedOrder) const;

  std::int32_t Count() const { return count_; }
  // Every name once, from the head along one order.
  std::vector<std::string> Names(int order) const;

 private:
  struct ScanPattern;

  void InsertName(std::string name, FileEntry* anchor);
  void AddListName(std::string name, FileEntry*& anchor);
  bool ArchivesAsFolders() const;
  bool AddArchiveMembers(const std::string& path, FileEntry*& anchor);
  bool GoToArchive(std::string_view target);
  FileEntry* SortedStop(std::string_view name, FileEntry* anchor) const;
  FileEntry* RandomPlace();
  FileEntry* Last() const {
    return head_ ? head_->links[kSortedOrder + kPredecessorOffset] : nullptr;
  }
  void TakeAnchor(FileEntry*& anchor) const;
  void Unlink(FileEntry* entry);
  const FileEntry* EntryAt(Neighbour which, int order) const;

  void ScanDirectory(const ScanPattern& pattern, FileEntry*& anchor);
  void ReadSlideList(const std::string& path, int index);

  const TProfile* settings_ = nullptr;
  FileEntry* head_ = nullptr;
  FileEntry* current_ = nullptr;
  std::int32_t count_ = 0;
  std::uint64_t removals_ = 0;  // entries taken out, by Clear or one by one

  std::vector<std::unique_ptr<FileEntry>> entries_;
  EntryPositions positions_;
};
