// Memory for picture bitmaps. Blocks over 2 MiB come straight from the kernel,
// aligned for transparent huge pages: they start zeroed without a pass over
// them and fault in 2 MiB at a time instead of 4 KiB. The block of the last
// large picture freed is kept and handed to the next one that fits, since the
// viewer and batch runs load many pictures in a row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class TPictureMemory {
 public:
  // What the new bytes must hold: zeros, or anything because the caller
  // writes every byte before reading one.
  enum class Contents { kZeroed, kAnything };

  static constexpr std::size_t kLargeBlock = std::size_t{2} << 20;

  TPictureMemory() = default;
  // Empty when the memory cannot be had.
  static TPictureMemory Allocate(std::size_t size, Contents contents);
  // Holds bytes that are already in memory, as they are.
  static TPictureMemory Adopt(std::vector<std::uint8_t> bytes);

  ~TPictureMemory();
  TPictureMemory(TPictureMemory&& other) noexcept;
  TPictureMemory& operator=(TPictureMemory&& other) noexcept;
  TPictureMemory(const TPictureMemory&) = delete;
  TPictureMemory& operator=(const TPictureMemory&) = delete;

  std::uint8_t* data() { return mapped_ ? mapped_ : small_.data(); }
  const std::uint8_t* data() const { return mapped_ ? mapped_ : small_.data(); }
  std::size_t size() const { return mapped_ ? size_ : small_.size(); }
  bool empty() const { return size() == 0; }
  // True when the bytes are a block of their own from the kernel.
  bool IsLargeBlock() const { return mapped_ != nullptr; }

  // The bytes as a vector, copied when they are a kernel block; leaves this empty.
  std::vector<std::uint8_t> TakeVector();

  // Gives the kept block back to the kernel.
  static void ReleaseSpare();

 private:
  void Free();

  std::vector<std::uint8_t> small_;
  std::uint8_t* mapped_ = nullptr;
  std::size_t mapped_size_ = 0;
  std::size_t size_ = 0;
};
