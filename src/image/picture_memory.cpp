#include "image/picture_memory.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstring>
#include <mutex>
#include <new>
#include <utility>

#if defined(__has_include)
#if __has_include(<sanitizer/asan_interface.h>)
#include <sanitizer/asan_interface.h>
#endif
#endif
#ifndef ASAN_POISON_MEMORY_REGION
#define ASAN_POISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#endif

namespace {

constexpr std::size_t kHugePage = TPictureMemory::kLargeBlock;
// A kept block serves a picture that needs at least this fraction of it, so a
// small picture does not sit on a huge block's memory.
constexpr std::size_t kMostWastedFactor = 2;

std::size_t RoundUpToHugePage(std::size_t size) {
  return (size + kHugePage - 1) / kHugePage * kHugePage;
}

// A block of whole huge pages, starting on a huge-page boundary.
struct Block {
  std::uint8_t* start = nullptr;
  std::size_t size = 0;
};

void Unmap(Block block) {
  if (block.start == nullptr) return;
  ASAN_UNPOISON_MEMORY_REGION(block.start, block.size);
  munmap(block.start, block.size);
}

Block MapBlock(std::size_t size) {
  // Over-allocate by one huge page and trim, since mmap aligns only to 4 KiB.
  if (size > SIZE_MAX - kHugePage) return {};
  void* mapped =
      mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) return {};
  auto* raw = static_cast<std::uint8_t*>(mapped);
  const auto address = reinterpret_cast<std::uintptr_t>(raw);
  const std::size_t head = (kHugePage - address % kHugePage) % kHugePage;
  if (head > 0) munmap(raw, head);
  const std::size_t tail = kHugePage - head;
  if (tail > 0) munmap(raw + head + size, tail);
  Block block{raw + head, size};
  // Only a hint: where the kernel has no huge pages the block still works.
  madvise(block.start, block.size, MADV_HUGEPAGE);
  return block;
}

class TSpareBlock {
 public:
  // The kept block when it fits `size`; otherwise frees it, so that a new
  // block does not have to fit in memory beside it.
  Block Take(std::size_t size) {
    std::lock_guard lock(mutex_);
    Block block = std::exchange(spare_, Block{});
    if (block.size >= size && block.size / kMostWastedFactor <= size) return block;
    Unmap(block);
    return {};
  }
  void Keep(Block block) {
    ASAN_POISON_MEMORY_REGION(block.start, block.size);
    std::lock_guard lock(mutex_);
    Unmap(std::exchange(spare_, block));
  }
  void Release() {
    std::lock_guard lock(mutex_);
    Unmap(std::exchange(spare_, Block{}));
  }

 private:
  std::mutex mutex_;
  Block spare_;
};

TSpareBlock& Spare() {
  // Never destroyed: pictures may be freed during static destruction.
  static auto* spare = new TSpareBlock;
  return *spare;
}

}  // namespace

TPictureMemory TPictureMemory::Allocate(std::size_t size, Contents contents) {
  TPictureMemory memory;
  if (size == 0) return memory;
  if (size <= kLargeBlock) {
    try {
      memory.small_.resize(size);
    } catch (const std::bad_alloc&) {
      memory.small_.clear();
    }
    return memory;
  }
  const std::size_t needed = RoundUpToHugePage(size);
  Block block = Spare().Take(needed);
  const bool reused = block.start != nullptr;
  if (!reused) block = MapBlock(needed);
  if (block.start == nullptr) return memory;
  ASAN_UNPOISON_MEMORY_REGION(block.start, size);
  // A fresh block is zero already; only a reused one holds an earlier picture.
  if (reused && contents == Contents::kZeroed) std::memset(block.start, 0, size);
  memory.mapped_ = block.start;
  memory.mapped_size_ = block.size;
  memory.size_ = size;
  return memory;
}

TPictureMemory TPictureMemory::Adopt(std::vector<std::uint8_t> bytes) {
  TPictureMemory memory;
  memory.small_ = std::move(bytes);
  return memory;
}

TPictureMemory::~TPictureMemory() {
  Free();
}

TPictureMemory::TPictureMemory(TPictureMemory&& other) noexcept
    : small_(std::move(other.small_)),
      mapped_(std::exchange(other.mapped_, nullptr)),
      mapped_size_(std::exchange(other.mapped_size_, 0)),
      size_(std::exchange(other.size_, 0)) {
  other.small_.clear();
}

TPictureMemory& TPictureMemory::operator=(TPictureMemory&& other) noexcept {
  if (this != &other) {
    Free();
    small_ = std::move(other.small_);
    other.small_.clear();
    mapped_ = std::exchange(other.mapped_, nullptr);
    mapped_size_ = std::exchange(other.mapped_size_, 0);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

void TPictureMemory::Free() {
  small_ = {};
  if (mapped_ != nullptr) Spare().Keep(Block{mapped_, mapped_size_});
  mapped_ = nullptr;
  mapped_size_ = 0;
  size_ = 0;
}

std::vector<std::uint8_t> TPictureMemory::TakeVector() {
  std::vector<std::uint8_t> bytes =
      mapped_ ? std::vector<std::uint8_t>(mapped_, mapped_ + size_) : std::move(small_);
  Free();
  return bytes;
}

void TPictureMemory::ReleaseSpare() {
  Spare().Release();
}
