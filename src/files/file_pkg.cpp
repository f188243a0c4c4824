#include "files/file_pkg.h"

#include <limits>
#include <new>
#include <utility>

#include "files/archive_folder.h"
#include "files/file_spelling.h"
#include "files/file_types.h"
#include "files/name_match.h"
#include "platform/path.h"
#include "platform/random.h"
#include "settings/profile.h"

namespace {

const std::string kNoFileText(kNoFile);

int OrderIndex(int order) {
  return order == kSortedOrder ? kSortedOrder : kRandomOrder;
}

void LinkAfter(FileEntry* place, FileEntry* entry, int order) {
  const int next = order;
  const int prev = order + kPredecessorOffset;
  FileEntry* following = place->links[next];
  entry->links[prev] = place;
  entry->links[next] = following;
  following->links[prev] = entry;
  place->links[next] = entry;
}

void UnlinkFrom(FileEntry* entry, int order) {
  const int next = order;
  const int prev = order + kPredecessorOffset;
  entry->links[prev]->links[next] = entry->links[next];
  entry->links[next]->links[prev] = entry->links[prev];
}

}  // namespace

void TFilePkg::AddFile(std::string_view name, FileEntry* anchor) {
  AddListName(NormaliseListName(name), anchor);
}

void TFilePkg::AddListName(std::string name, FileEntry*& anchor) {
  if (AddArchiveMembers(name, anchor)) return;
  InsertName(std::move(name), anchor);
}

bool TFilePkg::ArchivesAsFolders() const {
  return settings_ && settings_->Get(IntKey::ZipAsFolder) != 0;
}

// The members form one scan group: without an anchor the first member becomes
// it, so that names added after them sort around the group and never into it.
bool TFilePkg::AddArchiveMembers(const std::string& path, FileEntry*& anchor) {
  if (!ArchivesAsFolders() || !IsArchiveFolderExtension(SplitPath(path).extension)) return false;
  const std::vector<std::string> members = ArchivePictureNames(path);
  if (members.empty()) return false;
  for (const std::string& member : members) {
    InsertName(member, anchor);
    TakeAnchor(anchor);
  }
  return true;
}

// The entry after which a name belongs: with an anchor, the walk back from the
// last entry while the name sorts before the entry, stopping at the anchor.
// The entries from the anchor to the last one are a scan group, kept sorted,
// so the walk ends just before the group's first entry that sorts after the
// name, which one descent of the position index finds.
FileEntry* TFilePkg::SortedStop(std::string_view name, FileEntry* anchor) const {
  FileEntry* last = Last();
  if (!anchor || anchor == last || CompareNoCase(name, last->name) >= 0) return last;
  const std::int64_t first_after = positions_.FirstFrom(
      positions_.PositionOf(anchor) + 1,
      [name](const FileEntry& entry) { return CompareNoCase(name, entry.name) < 0; });
  return positions_.At(first_after - 1);
}

// Start at the current entry and take n sorted successors.
FileEntry* TFilePkg::RandomPlace() {
  const std::int64_t steps = NextRandom() % static_cast<std::uint32_t>(count_);
  const std::int64_t start = positions_.PositionOf(current_);
  return positions_.At((start + steps) % count_);
}

void TFilePkg::InsertName(std::string name, FileEntry* anchor) {
  if (count_ == std::numeric_limits<std::int32_t>::max()) return;
  FileEntry* stop = head_ ? SortedStop(name, anchor) : nullptr;
  if (stop && EqualsNoCase(stop->name, name)) return;
  FileEntry* random_place = head_ ? RandomPlace() : nullptr;

  FileEntry* entry = nullptr;
  try {
    auto owned = std::make_unique<FileEntry>();
    owned->name = std::move(name);
    owned->slot = entries_.size();
    entry = owned.get();
    entries_.push_back(std::move(owned));
  } catch (const std::bad_alloc&) {
    return;  // the entry is dropped; the list stays as it was
  }

  if (!head_) {
    head_ = current_ = entry;
    positions_.InsertAt(0, entry);
    count_ = 1;
    return;
  }
  // The anchor keeps its place at the front of the group, so a name that
  // sorts before it takes the anchor's entry and the new entry the old name.
  if (anchor && CompareNoCase(entry->name, stop->name) < 0) std::swap(entry->name, stop->name);
  LinkAfter(stop, entry, kSortedOrder);
  LinkAfter(random_place, entry, kRandomOrder);
  positions_.InsertAt(positions_.PositionOf(stop) + 1, entry);
  ++count_;
}

void TFilePkg::TakeAnchor(FileEntry*& anchor) const {
  if (!anchor && count_ > 0) anchor = Last();
}

void TFilePkg::Clear() {
  positions_.Clear();
  entries_.clear();
  head_ = current_ = nullptr;
  count_ = 0;
  ++removals_;
}

void TFilePkg::Unlink(FileEntry* entry) {
  UnlinkFrom(entry, kSortedOrder);
  UnlinkFrom(entry, kRandomOrder);
  positions_.Erase(entry);
  ++removals_;
  if (entry == head_) head_ = entry->links[kSortedOrder];
  if (entry == current_) current_ = entry->links[kSortedOrder];
  --count_;
  if (count_ == 0) head_ = current_ = nullptr;

  // Release the allocation: the last slot moves into the freed one.
  const std::size_t slot = entry->slot;
  if (slot != entries_.size() - 1) {
    std::swap(entries_[slot], entries_.back());
    entries_[slot]->slot = slot;
  }
  entries_.pop_back();
}

bool TFilePkg::RemoveName(std::string_view name) {
  bool removed = false;
  FileEntry* entry = current_;
  for (std::int32_t visits = count_; visits > 0 && count_ > 0; --visits) {
    FileEntry* following = entry->links[kSortedOrder];
    if (EqualsNoCase(entry->name, name)) {
      Unlink(entry);
      removed = true;
    }
    entry = following;
  }
  return removed;
}

// The first member in sorted order of the archive `target` names, typed with
// its folder or relative to one.
bool TFilePkg::GoToArchive(std::string_view target) {
  if (!ArchivesAsFolders() || !IsArchiveFolderExtension(SplitPath(target).extension)) return false;
  const std::string prefix = ToLower(target) + "/";
  const std::string inner = "/" + prefix;
  FileEntry* entry = head_;
  for (std::int32_t step = 0; step < count_; ++step, entry = entry->links[kSortedOrder]) {
    const std::string name = ToLower(entry->name);
    if (name.starts_with(prefix) || name.find(inner) != std::string::npos) {
      current_ = entry;
      return true;
    }
  }
  return false;
}

void TFilePkg::GoTo(std::string_view typed) {
  if (count_ == 0) return;
  const std::string target_text = SpellingFromFileSystem(typed);
  if (GoToArchive(target_text)) return;
  const NameParts target = SplitNameParts(target_text);
  for (const bool by_prefix : {false, true}) {
    for (std::int32_t step = 0; step < count_; ++step) {
      current_ = current_->links[kSortedOrder];
      if (PartsMatch(target, SplitNameParts(current_->name), by_prefix)) return;
    }
  }
}

const std::string& TFilePkg::Current() const {
  return current_ ? current_->name : kNoFileText;
}

const std::string& TFilePkg::Next(int order) {
  if (!current_) return kNoFileText;
  current_ = current_->links[OrderIndex(order)];
  return current_->name;
}

const std::string& TFilePkg::Previous(int order) {
  if (!current_) return kNoFileText;
  current_ = current_->links[OrderIndex(order) + kPredecessorOffset];
  return current_->name;
}

bool TFilePkg::AtEnd() const {
  return !current_ || current_->links[kSortedOrder] == head_;
}

const FileEntry* TFilePkg::EntryAt(Neighbour which, int order) const {
  if (!current_) return nullptr;
  switch (which) {
    case Neighbour::kNext:
      return current_->links[OrderIndex(order)];
    case Neighbour::kPrevious:
      return current_->links[OrderIndex(order) + kPredecessorOffset];
    case Neighbour::kCurrent:
      break;
  }
  return current_;
}

bool TFilePkg::IsSound(Neighbour which, int order) const {
  const FileEntry* entry = EntryAt(which, order);
  return entry && IsSoundExtension(SplitNameParts(entry->name).extension);
}

bool TFilePkg::IsMovie(Neighbour which, int order) const {
  const FileEntry* entry = EntryAt(which, order);
  return entry && IsMovieExtension(SplitNameParts(entry->name).extension);
}

std::vector<std::string> TFilePkg::Names(int order) const {
  std::vector<std::string> names;
  names.reserve(static_cast<std::size_t>(count_));
  const FileEntry* entry = head_;
  for (std::int32_t i = 0; i < count_; ++i, entry = entry->links[OrderIndex(order)]) {
    names.push_back(entry->name);
  }
  return names;
}
