// Positions in the sorted ring: an implicit treap over the entries in sorted
// order. The rings stay the source of truth for stepping; this index answers
// "which place is this entry" and "which entry is at this place".
#pragma once

#include <cstdint>

#include "files/file_entry.h"

class EntryPositions {
 public:
  EntryPositions() = default;
  EntryPositions(const EntryPositions&) = delete;
  EntryPositions& operator=(const EntryPositions&) = delete;

  std::int64_t Size() const;
  // Inserts `entry` (not yet in the index) so that it gets place `position`,
  // 0 <= position <= Size().
  void InsertAt(std::int64_t position, FileEntry* entry);
  void Erase(FileEntry* entry);
  // Place of an entry in the index, counted from the head.
  std::int64_t PositionOf(const FileEntry* entry) const;
  // Entry at a place, 0 <= position < Size(); null outside.
  FileEntry* At(std::int64_t position) const;
  // The first place at or after `from` whose entry satisfies `holds`, or
  // Size() when there is none. `holds` must be false then true along the
  // places from `from` on (a sorted run searched by a bound), so one descent
  // of the tree finds it.
  template <typename Predicate>
  std::int64_t FirstFrom(std::int64_t from, Predicate holds) const;
  // Forgets every entry (the entries themselves are not touched).
  void Clear() { root_ = nullptr; }

 private:
  struct Halves {
    FileEntry* left;
    FileEntry* right;
  };
  static Halves Split(FileEntry* tree, std::uint32_t left_size);
  static FileEntry* Merge(FileEntry* left, FileEntry* right);
  std::uint32_t NextPriority();

  FileEntry* root_ = nullptr;
  std::uint64_t priority_state_ = 0;
};

template <typename Predicate>
std::int64_t EntryPositions::FirstFrom(std::int64_t from, Predicate holds) const {
  std::int64_t found = Size();
  std::int64_t before_node = 0;  // places left of the current subtree
  for (const FileEntry* node = root_; node;) {
    const std::int64_t place = before_node + (node->tree_left ? node->tree_left->tree_size : 0);
    if (place >= from && holds(*node)) {
      found = place;
      node = node->tree_left;
    } else {
      before_node = place + 1;
      node = node->tree_right;
    }
  }
  return found;
}
