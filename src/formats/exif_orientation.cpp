#include "formats/exif_orientation.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "settings/profile.h"

namespace {

constexpr std::array<std::uint8_t, 6> kExifSignature = {'E', 'x', 'i', 'f', 0, 0};
constexpr std::size_t kTiffHeaderSize = 8;
constexpr std::uint16_t kTiffMagic = 42;
constexpr std::size_t kEntrySize = 12;
constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kShortType = 3;
constexpr int kMaxOrientation = 8;

// Fields of the TIFF structure inside the block; every read is checked
// against the structure's end and fails rather than running past it.
class TiffFields {
 public:
  TiffFields(std::span<const std::uint8_t> bytes, bool big_endian)
      : bytes_(bytes), big_endian_(big_endian) {}

  bool U16(std::size_t offset, std::uint16_t& value) const {
    if (offset > bytes_.size() || bytes_.size() - offset < 2) return false;
    const std::uint8_t a = bytes_[offset];
    const std::uint8_t b = bytes_[offset + 1];
    value = static_cast<std::uint16_t>(big_endian_ ? (a << 8 | b) : (b << 8 | a));
    return true;
  }

  bool U32(std::size_t offset, std::uint32_t& value) const {
    std::uint16_t first = 0;
    std::uint16_t second = 0;
    if (!U16(offset, first) || !U16(offset + 2, second)) return false;
    value =
        big_endian_ ? (std::uint32_t{first} << 16 | second) : (std::uint32_t{second} << 16 | first);
    return true;
  }

  std::size_t Size() const { return bytes_.size(); }

 private:
  std::span<const std::uint8_t> bytes_;
  bool big_endian_;
};

}  // namespace

bool OrientationTagsApply(const TProfile* settings) {
  return settings == nullptr || settings->Get(IntKey::ExifOrientation) != 0;
}

int ReadExifOrientation(std::span<const std::uint8_t> app1) {
  if (app1.size() < kExifSignature.size() + kTiffHeaderSize ||
      !std::equal(kExifSignature.begin(), kExifSignature.end(), app1.begin())) {
    return 0;
  }
  const std::span<const std::uint8_t> tiff = app1.subspan(kExifSignature.size());
  bool big_endian = false;
  if (tiff[0] == 'M' && tiff[1] == 'M') {
    big_endian = true;
  } else if (tiff[0] != 'I' || tiff[1] != 'I') {
    return 0;
  }
  const TiffFields fields(tiff, big_endian);
  std::uint16_t magic = 0;
  std::uint32_t directory = 0;
  std::uint16_t count = 0;
  if (!fields.U16(2, magic) || magic != kTiffMagic || !fields.U32(4, directory) ||
      directory < kTiffHeaderSize || !fields.U16(directory, count)) {
    return 0;
  }
  // Only the entries that lie wholly inside the block are looked at.
  const std::size_t first_entry = std::size_t{directory} + 2;
  const std::size_t room = (fields.Size() - first_entry) / kEntrySize;
  const std::size_t entries = std::min<std::size_t>(count, room);
  for (std::size_t i = 0; i < entries; ++i) {
    const std::size_t entry = first_entry + i * kEntrySize;
    std::uint16_t tag = 0;
    std::uint16_t type = 0;
    std::uint32_t values = 0;
    std::uint16_t value = 0;
    if (!fields.U16(entry, tag) || tag != kOrientationTag) continue;
    if (!fields.U16(entry + 2, type) || !fields.U32(entry + 4, values) ||
        !fields.U16(entry + 8, value)) {
      return 0;
    }
    if (type != kShortType || values != 1 || value < 1 || value > kMaxOrientation) return 0;
    return value;
  }
  return 0;
}
