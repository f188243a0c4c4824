// One entry of the file list: a name in two circular doubly-linked rings at
// once, the sorted order and the random order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Link indices: successor by order (0 sorted, 1 random), predecessor by order + 2.
inline constexpr int kSortedOrder = 0;
inline constexpr int kRandomOrder = 1;
inline constexpr int kPredecessorOffset = 2;
inline constexpr int kLinkCount = 4;

struct FileEntry {
  FileEntry() = default;
  // The links point at the entry itself, so an entry never moves or copies.
  FileEntry(const FileEntry&) = delete;
  FileEntry& operator=(const FileEntry&) = delete;

  // next_sorted, next_random, prev_sorted, prev_random; a single entry links to
  // itself four times.
  FileEntry* links[kLinkCount] = {this, this, this, this};
  std::string name;  // full path

  // Node of the position index over the sorted ring (see entry_positions.h),
  // so that the place of an entry and the entry at a place are found in
  // logarithmic time on lists of a hundred thousand names.
  FileEntry* tree_left = nullptr;
  FileEntry* tree_right = nullptr;
  FileEntry* tree_parent = nullptr;
  std::uint32_t tree_size = 1;
  std::uint32_t tree_priority = 0;

  // Where the owning list keeps this entry's allocation.
  std::size_t slot = 0;
};
