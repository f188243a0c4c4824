#include "archive/zip_central_directory.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>

#include "archive/safe_name.h"

namespace {
constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kMaxCommentLength = 65535;
constexpr std::size_t kZip64LocatorSize = 20;
constexpr std::size_t kZip64EndRecordSize = 56;
constexpr std::size_t kCentralHeaderSize = 46;
constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::uint16_t kZip64ExtraId = 0x0001;
constexpr std::uint32_t kZip64Marker32 = 0xFFFFFFFF;
constexpr std::uint32_t kZip64Marker16 = 0xFFFF;
constexpr std::uint32_t kEncryptedFlag = 1;
constexpr std::uint32_t kMethodStored = 0;
constexpr std::uint32_t kMethodDeflated = 8;

std::uint32_t Le16(const unsigned char* p) {
  return p[0] | p[1] << 8;
}
std::uint32_t Le32(const unsigned char* p) {
  return Le16(p) | Le16(p + 2) << 16;
}
std::uint64_t Le64(const unsigned char* p) {
  return Le32(p) | std::uint64_t{Le32(p + 4)} << 32;
}

bool ReadExactly(int fd, std::uint64_t offset, unsigned char* destination, std::size_t length) {
  std::size_t done = 0;
  while (done < length) {
    const ssize_t got =
        pread(fd, destination + done, length - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    done += static_cast<std::size_t>(got);
  }
  return true;
}

struct EndRecord {
  std::uint64_t position = 0;  // where the record (or the ZIP64 record before it) starts
  std::uint64_t entries = 0;
  std::uint64_t directory_size = 0;
  std::uint64_t directory_offset = 0;
};

// The last end record whose comment ends inside the file. A comment may itself
// hold the signature, so the search runs backwards from the latest start.
std::optional<std::uint64_t> FindEndRecord(int fd, std::uint64_t file_size) {
  if (file_size < kEndRecordSize) return std::nullopt;
  const std::size_t tail_size = static_cast<std::size_t>(
      std::min<std::uint64_t>(file_size, kEndRecordSize + kMaxCommentLength));
  std::vector<unsigned char> tail(tail_size);
  const std::uint64_t tail_start = file_size - tail_size;
  if (!ReadExactly(fd, tail_start, tail.data(), tail_size)) return std::nullopt;
  for (std::size_t at = tail_size - kEndRecordSize + 1; at-- > 0;) {
    if (Le32(&tail[at]) != kZipEndRecordSignature) continue;
    const std::size_t comment_length = Le16(&tail[at + 20]);
    if (at + kEndRecordSize + comment_length <= tail_size) return tail_start + at;
  }
  return std::nullopt;
}

enum class Zip64End { kAbsent, kRead, kDamaged };

// The ZIP64 locator sits right before the end record and points at the ZIP64
// record, which must lie before the locator.
Zip64End ReadZip64End(int fd, std::uint64_t end_position, EndRecord& record) {
  if (end_position < kZip64LocatorSize) return Zip64End::kAbsent;
  unsigned char locator[kZip64LocatorSize];
  const std::uint64_t locator_position = end_position - kZip64LocatorSize;
  if (!ReadExactly(fd, locator_position, locator, sizeof locator) ||
      Le32(locator) != kZip64LocatorSignature) {
    return Zip64End::kAbsent;
  }
  const std::uint64_t offset = Le64(locator + 8);
  const std::uint32_t disks = Le32(locator + 16);
  if (Le32(locator + 4) != 0 || disks > 1) return Zip64End::kDamaged;  // spanned archive
  if (offset > locator_position || locator_position - offset < kZip64EndRecordSize) {
    return Zip64End::kDamaged;
  }
  unsigned char end[kZip64EndRecordSize];
  if (!ReadExactly(fd, offset, end, sizeof end) || Le32(end) != kZip64EndRecordSignature ||
      Le32(end + 16) != 0 || Le32(end + 20) != 0) {
    return Zip64End::kDamaged;
  }
  record.position = offset;
  record.entries = Le64(end + 32);
  record.directory_size = Le64(end + 40);
  record.directory_offset = Le64(end + 48);
  return Zip64End::kRead;
}

// The end record, with ZIP64 values where a locator is present. Null when
// there is none or what it says cannot be so.
std::optional<EndRecord> ReadEndRecord(int fd, std::uint64_t file_size, bool& found) {
  found = false;
  const std::optional<std::uint64_t> position = FindEndRecord(fd, file_size);
  if (!position) return std::nullopt;
  found = true;
  unsigned char end[kEndRecordSize];
  if (!ReadExactly(fd, *position, end, sizeof end)) return std::nullopt;
  EndRecord record;
  switch (ReadZip64End(fd, *position, record)) {
    case Zip64End::kRead:
      break;
    case Zip64End::kDamaged:
      return std::nullopt;
    case Zip64End::kAbsent:
      if (Le16(end + 4) != 0 || Le16(end + 6) != 0) return std::nullopt;  // spanned archive
      record.position = *position;
      record.entries = Le16(end + 10);
      record.directory_size = Le32(end + 12);
      record.directory_offset = Le32(end + 16);
      break;
  }
  if (record.directory_offset > record.position ||
      record.directory_size > record.position - record.directory_offset ||
      record.directory_size > kMaxCentralDirectoryBytes) {
    return std::nullopt;
  }
  return record;
}

// Replaces the 32-bit values marked as too large by the 64-bit ones of the
// ZIP64 extra field, which holds only the marked ones, in this order. False
// when a marked value is missing.
bool ApplyZip64Extra(const unsigned char* extra, std::size_t length, bool size_marked,
                     bool compressed_marked, bool offset_marked, ZipCentralMember& member) {
  std::size_t at = 0;
  while (at + 4 <= length) {
    const std::uint32_t id = Le16(extra + at);
    const std::size_t field_length = Le16(extra + at + 2);
    at += 4;
    if (field_length > length - at) break;
    if (id == kZip64ExtraId) {
      std::size_t field_at = 0;
      auto take = [&](std::uint64_t& value) {
        if (field_length - field_at < 8) return false;
        value = Le64(extra + at + field_at);
        field_at += 8;
        return true;
      };
      return (!size_marked || take(member.size)) &&
             (!compressed_marked || take(member.compressed_size)) &&
             (!offset_marked || take(member.local_header_offset));
    }
    at += field_length;
  }
  return !size_marked && !compressed_marked && !offset_marked;
}

enum class EntryRead { kRead, kEnd, kDamaged };

// One central header at `at` of the directory bytes; `at` moves past it.
EntryRead ReadEntry(const std::vector<unsigned char>& bytes, std::size_t& at,
                    ZipCentralMember& member) {
  if (bytes.size() - at < kCentralHeaderSize) return EntryRead::kEnd;
  const unsigned char* h = &bytes[at];
  if (Le32(h) != kZipCentralHeaderSignature) return EntryRead::kEnd;
  const std::size_t name_length = Le16(h + 28);
  const std::size_t extra_length = Le16(h + 30);
  const std::size_t comment_length = Le16(h + 32);
  const std::size_t total = kCentralHeaderSize + name_length + extra_length + comment_length;
  if (bytes.size() - at < total) return EntryRead::kEnd;
  member.flags = Le16(h + 8);
  member.method = Le16(h + 10);
  member.time = Le16(h + 12);
  member.date = Le16(h + 14);
  member.crc = Le32(h + 16);
  member.compressed_size = Le32(h + 20);
  member.size = Le32(h + 24);
  member.local_header_offset = Le32(h + 42);
  member.name.assign(reinterpret_cast<const char*>(h + kCentralHeaderSize), name_length);
  at += total;
  const unsigned char* extra = h + kCentralHeaderSize + name_length;
  if (Le16(h + 34) != 0 && Le16(h + 34) != kZip64Marker16) return EntryRead::kDamaged;
  if (!ApplyZip64Extra(extra, extra_length, member.size == kZip64Marker32,
                       member.compressed_size == kZip64Marker32,
                       member.local_header_offset == kZip64Marker32, member)) {
    return EntryRead::kDamaged;
  }
  return EntryRead::kRead;
}

// A member's local header and data must lie before the directory.
bool InsideArchive(const ZipCentralMember& member, std::uint64_t directory_offset) {
  if (member.local_header_offset > directory_offset ||
      directory_offset - member.local_header_offset < kLocalHeaderSize) {
    return false;
  }
  return member.compressed_size <= directory_offset - member.local_header_offset - kLocalHeaderSize;
}
}  // namespace

ZipCentralDirectory ReadZipCentralDirectory(int fd) {
  ZipCentralDirectory directory;
  struct stat info {};
  if (fd < 0 || fstat(fd, &info) != 0 || info.st_size < 0) return directory;
  bool found = false;
  const std::optional<EndRecord> end =
      ReadEndRecord(fd, static_cast<std::uint64_t>(info.st_size), found);
  if (!found) return directory;
  directory.status = ZipDirectoryStatus::kDamaged;
  if (!end) return directory;
  std::vector<unsigned char> bytes(static_cast<std::size_t>(end->directory_size));
  if (!ReadExactly(fd, end->directory_offset, bytes.data(), bytes.size())) return directory;

  bool damaged = false;
  std::size_t at = 0;
  std::uint64_t entries_read = 0;
  // The count is only believed as far as the directory's bytes go.
  for (; entries_read < end->entries; ++entries_read) {
    ZipCentralMember member;
    const EntryRead read = ReadEntry(bytes, at, member);
    if (read == EntryRead::kEnd) break;
    if (read == EntryRead::kDamaged || !InsideArchive(member, end->directory_offset)) {
      damaged = true;
      continue;
    }
    directory.members.push_back(std::move(member));
  }
  if (!damaged && entries_read == end->entries) directory.status = ZipDirectoryStatus::kRead;
  return directory;
}

bool IsEncryptedMember(const ZipCentralMember& member) {
  return (member.flags & kEncryptedFlag) != 0;
}

bool IsReadableMethod(const ZipCentralMember& member) {
  return member.method == kMethodStored || member.method == kMethodDeflated;
}

bool FitsInputStream(const ZipCentralMember& member) {
  constexpr std::uint64_t kLimit = 0xFFFFFFFF;
  return member.local_header_offset <= kLimit && member.compressed_size <= kLimit &&
         member.size <= kLimit;
}

const ZipCentralMember* FindShownMember(const ZipCentralDirectory& directory,
                                        std::string_view shown_name) {
  for (const ZipCentralMember& member : directory.members) {
    if (ReplaceControlBytes(member.name) == shown_name) return &member;
  }
  return nullptr;
}
