#include "files/entry_positions.h"

namespace {

std::uint32_t TreeSize(const FileEntry* node) {
  return node ? node->tree_size : 0;
}

void Adopt(FileEntry* parent, FileEntry* child) {
  if (child) child->tree_parent = parent;
}

void Refresh(FileEntry* node) {
  node->tree_size = 1 + TreeSize(node->tree_left) + TreeSize(node->tree_right);
  Adopt(node, node->tree_left);
  Adopt(node, node->tree_right);
}

}  // namespace

std::int64_t EntryPositions::Size() const {
  return TreeSize(root_);
}

// Treap priorities come from a private generator: drawing them from the
// process-wide one would change the random order of the list.
std::uint32_t EntryPositions::NextPriority() {
  std::uint64_t z = (priority_state_ += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return static_cast<std::uint32_t>(z ^ (z >> 31));
}

EntryPositions::Halves EntryPositions::Split(FileEntry* tree, std::uint32_t left_size) {
  if (!tree) return {nullptr, nullptr};
  const std::uint32_t before = TreeSize(tree->tree_left);
  if (left_size <= before) {
    const Halves halves = Split(tree->tree_left, left_size);
    tree->tree_left = halves.right;
    Refresh(tree);
    if (halves.left) halves.left->tree_parent = nullptr;
    return {halves.left, tree};
  }
  const Halves halves = Split(tree->tree_right, left_size - before - 1);
  tree->tree_right = halves.left;
  Refresh(tree);
  if (halves.right) halves.right->tree_parent = nullptr;
  return {tree, halves.right};
}

FileEntry* EntryPositions::Merge(FileEntry* left, FileEntry* right) {
  if (!left) return right;
  if (!right) return left;
  if (left->tree_priority > right->tree_priority) {
    left->tree_right = Merge(left->tree_right, right);
    Refresh(left);
    return left;
  }
  right->tree_left = Merge(left, right->tree_left);
  Refresh(right);
  return right;
}

void EntryPositions::InsertAt(std::int64_t position, FileEntry* entry) {
  entry->tree_left = entry->tree_right = entry->tree_parent = nullptr;
  entry->tree_size = 1;
  entry->tree_priority = NextPriority();
  if (position < 0) position = 0;
  if (position > Size()) position = Size();
  const Halves halves = Split(root_, static_cast<std::uint32_t>(position));
  root_ = Merge(Merge(halves.left, entry), halves.right);
  root_->tree_parent = nullptr;
}

void EntryPositions::Erase(FileEntry* entry) {
  const auto position = static_cast<std::uint32_t>(PositionOf(entry));
  const Halves before = Split(root_, position);
  const Halves rest = Split(before.right, 1);
  root_ = Merge(before.left, rest.right);
  if (root_) root_->tree_parent = nullptr;
  entry->tree_left = entry->tree_right = entry->tree_parent = nullptr;
  entry->tree_size = 1;
}

std::int64_t EntryPositions::PositionOf(const FileEntry* entry) const {
  std::int64_t position = TreeSize(entry->tree_left);
  for (const FileEntry* node = entry; node->tree_parent; node = node->tree_parent) {
    const FileEntry* parent = node->tree_parent;
    if (parent->tree_right == node) position += TreeSize(parent->tree_left) + 1;
  }
  return position;
}

FileEntry* EntryPositions::At(std::int64_t position) const {
  if (position < 0 || position >= Size()) return nullptr;
  FileEntry* node = root_;
  auto remaining = static_cast<std::uint32_t>(position);
  while (node) {
    const std::uint32_t before = TreeSize(node->tree_left);
    if (remaining < before) {
      node = node->tree_left;
    } else if (remaining == before) {
      return node;
    } else {
      remaining -= before + 1;
      node = node->tree_right;
    }
  }
  return nullptr;
}
