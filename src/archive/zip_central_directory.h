// The table of contents at the end of a zip archive: the end record (found in
// the last 64 KiB + 22 bytes), its ZIP64 locator and record, and one entry per
// member with the sizes and offset that the local header may leave out (data
// descriptors) or hold only in a ZIP64 extra field. Every offset, length and
// count is checked against the file before it is used.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::uint32_t kZipCentralHeaderSignature = 0x02014b50;
inline constexpr std::uint32_t kZipEndRecordSignature = 0x06054b50;
inline constexpr std::uint32_t kZip64EndRecordSignature = 0x06064b50;
inline constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
// A directory larger than this is refused rather than held in memory.
inline constexpr std::uint64_t kMaxCentralDirectoryBytes = 64u << 20;

struct ZipCentralMember {
  std::string name;  // as stored: any byte may occur
  std::uint32_t flags = 0;
  std::uint32_t method = 0;
  std::uint32_t time = 0;
  std::uint32_t date = 0;
  std::uint32_t crc = 0;
  std::uint64_t compressed_size = 0;
  std::uint64_t size = 0;
  std::uint64_t local_header_offset = 0;
};

enum class ZipDirectoryStatus {
  kRead,          // every entry the end record announced
  kNotAnArchive,  // no end record near the end of the file
  kDamaged,       // the entries that are sound are listed; the rest were dropped
};

struct ZipCentralDirectory {
  ZipDirectoryStatus status = ZipDirectoryStatus::kNotAnArchive;
  std::vector<ZipCentralMember> members;  // in directory order
};

// Reads the directory of the archive open as `fd` (read with pread; the file
// position is not used).
ZipCentralDirectory ReadZipCentralDirectory(int fd);

// Encrypted (flag bit 0) members cannot be read.
bool IsEncryptedMember(const ZipCentralMember& member);
// Stored or deflated, the two methods the stream inflates.
bool IsReadableMethod(const ZipCentralMember& member);
// The stream keeps offsets and sizes in 32 bits.
bool FitsInputStream(const ZipCentralMember& member);

// The first member whose name, with its control bytes replaced as file lists
// show it, is `shown_name`; null when there is none.
const ZipCentralMember* FindShownMember(const ZipCentralDirectory& directory,
                                        std::string_view shown_name);
