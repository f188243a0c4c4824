#include "archive_test_support.h"

#include <algorithm>

using zip_builder::Crc;
using zip_builder::Deflate;
using zip_builder::Put16;
using zip_builder::Put32;

Bytes BuildZip(const std::vector<ZipEntry>& entries) {
  Bytes zip;
  for (const ZipEntry& entry : entries) {
    const Bytes payload = entry.method == 8 ? Deflate(entry.data) : entry.data;
    Put32(zip, 0x04034b50);
    Put16(zip, 20);
    Put16(zip, entry.flags);
    Put16(zip, entry.method);
    Put16(zip, entry.dos_time);
    Put16(zip, entry.dos_date);
    Put32(zip, Crc(entry.data) ^ (entry.corrupt_crc ? 1u : 0u));
    Put32(zip, static_cast<std::uint32_t>(payload.size()));
    Put32(zip, static_cast<std::uint32_t>(entry.data.size()));
    Put16(zip, static_cast<std::uint32_t>(entry.name.size()));
    Put16(zip, 0);
    zip.insert(zip.end(), entry.name.begin(), entry.name.end());
    zip.insert(zip.end(), payload.begin(), payload.end());
  }
  // A central directory end record, which the walk must stop at.
  Put32(zip, 0x06054b50);
  zip.resize(zip.size() + 18, 0);
  return zip;
}

Bytes PatternBytes(std::size_t size, std::uint32_t seed) {
  Bytes bytes(size);
  std::uint32_t state = seed;
  for (auto& b : bytes) {
    state = state * 1103515245u + 12345u;
    // Half predictable, half noisy: compresses, but not to nothing.
    b = static_cast<unsigned char>((state >> 16) & 0x0F);
  }
  return bytes;
}

void LogCapture::AppendLogLine(std::string_view line) {
  // "hh:mm:ss " comes first.
  lines.emplace_back(line.size() >= 9 ? line.substr(9) : line);
}

bool LogCapture::Contains(const std::string& text) const {
  return std::find(lines.begin(), lines.end(), text) != lines.end();
}
