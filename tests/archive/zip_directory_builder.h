// Zip archives with a central directory, built byte by byte for the tests of
// every folder: members with data descriptors, ZIP64 sizes and offsets, and
// the ZIP64 end record. Header-only so that the files and app tests use it too.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zip_builder {

using Bytes = std::vector<unsigned char>;

struct Member {
  std::string name;
  Bytes data;
  std::uint16_t method = 8;  // 0 stored, 8 deflated, anything else kept as is
  std::uint16_t flags = 0;
  bool data_descriptor = false;  // zeros in the local header, sizes after the data
  bool zip64 = false;            // sizes and offset only in ZIP64 extra fields
};

struct Layout {
  bool zip64_end = false;  // ZIP64 end record and locator before the end record
  std::string comment;
};

// Where the pieces landed, for tests that damage them.
struct Built {
  Bytes bytes;
  std::size_t directory_offset = 0;
  std::size_t end_record_offset = 0;
  std::vector<std::size_t> central_headers;  // offset of each member's entry
};

inline void Put16(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<unsigned char>(v));
  out.push_back(static_cast<unsigned char>(v >> 8));
}
inline void Put32(Bytes& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
inline void Put64(Bytes& out, std::uint64_t v) {
  Put32(out, static_cast<std::uint32_t>(v));
  Put32(out, static_cast<std::uint32_t>(v >> 32));
}
inline void Patch32(Bytes& bytes, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<unsigned char>(v >> (8 * i));
}
inline void Patch16(Bytes& bytes, std::size_t at, std::uint32_t v) {
  bytes[at] = static_cast<unsigned char>(v);
  bytes[at + 1] = static_cast<unsigned char>(v >> 8);
}

inline Bytes Deflate(const Bytes& data) {
  z_stream zs{};
  deflateInit2(&zs, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  Bytes out(deflateBound(&zs, data.size()) + 16);
  zs.next_in = const_cast<Bytef*>(data.data());
  zs.avail_in = static_cast<uInt>(data.size());
  zs.next_out = out.data();
  zs.avail_out = static_cast<uInt>(out.size());
  deflate(&zs, Z_FINISH);
  out.resize(zs.total_out);
  deflateEnd(&zs);
  return out;
}

inline std::uint32_t Crc(const Bytes& data) {
  return static_cast<std::uint32_t>(
      crc32(crc32(0L, Z_NULL, 0), data.data(), static_cast<uInt>(data.size())));
}

inline Bytes Zip64Extra(std::uint64_t size, std::uint64_t compressed, std::uint64_t offset,
                        bool with_offset) {
  Bytes extra;
  Put16(extra, 0x0001);
  Put16(extra, with_offset ? 24 : 16);
  Put64(extra, size);
  Put64(extra, compressed);
  if (with_offset) Put64(extra, offset);
  return extra;
}

inline Built Build(const std::vector<Member>& members, const Layout& layout = {}) {
  Built built;
  Bytes& zip = built.bytes;
  Bytes directory;
  for (const Member& member : members) {
    const Bytes payload = member.method == 8 ? Deflate(member.data) : member.data;
    const std::uint32_t crc = Crc(member.data);
    const std::size_t offset = zip.size();
    const std::uint16_t flags = member.flags | (member.data_descriptor ? 8 : 0);
    const std::uint32_t marker = 0xFFFFFFFF;
    // Local header.
    const Bytes local_extra =
        member.zip64 ? Zip64Extra(member.data.size(), payload.size(), 0, false) : Bytes{};
    Put32(zip, 0x04034b50);
    Put16(zip, member.zip64 ? 45 : 20);
    Put16(zip, flags);
    Put16(zip, member.method);
    Put16(zip, 0);
    Put16(zip, 0x5265);
    Put32(zip, member.data_descriptor ? 0 : crc);
    Put32(zip, member.zip64             ? marker
               : member.data_descriptor ? 0
                                        : static_cast<std::uint32_t>(payload.size()));
    Put32(zip, member.zip64             ? marker
               : member.data_descriptor ? 0
                                        : static_cast<std::uint32_t>(member.data.size()));
    Put16(zip, static_cast<std::uint32_t>(member.name.size()));
    Put16(zip, static_cast<std::uint32_t>(local_extra.size()));
    zip.insert(zip.end(), member.name.begin(), member.name.end());
    zip.insert(zip.end(), local_extra.begin(), local_extra.end());
    zip.insert(zip.end(), payload.begin(), payload.end());
    if (member.data_descriptor) {
      Put32(zip, 0x08074b50);
      Put32(zip, crc);
      Put32(zip, static_cast<std::uint32_t>(payload.size()));
      Put32(zip, static_cast<std::uint32_t>(member.data.size()));
    }
    // Central entry.
    const Bytes central_extra =
        member.zip64 ? Zip64Extra(member.data.size(), payload.size(), offset, true) : Bytes{};
    built.central_headers.push_back(directory.size());
    Put32(directory, 0x02014b50);
    Put16(directory, 0x031E);
    Put16(directory, member.zip64 ? 45 : 20);
    Put16(directory, flags);
    Put16(directory, member.method);
    Put16(directory, 0);
    Put16(directory, 0x5265);
    Put32(directory, crc);
    Put32(directory, member.zip64 ? marker : static_cast<std::uint32_t>(payload.size()));
    Put32(directory, member.zip64 ? marker : static_cast<std::uint32_t>(member.data.size()));
    Put16(directory, static_cast<std::uint32_t>(member.name.size()));
    Put16(directory, static_cast<std::uint32_t>(central_extra.size()));
    Put16(directory, 0);
    Put16(directory, 0);
    Put16(directory, 0);
    Put32(directory, 0);
    Put32(directory, member.zip64 ? marker : static_cast<std::uint32_t>(offset));
    directory.insert(directory.end(), member.name.begin(), member.name.end());
    directory.insert(directory.end(), central_extra.begin(), central_extra.end());
  }
  built.directory_offset = zip.size();
  for (std::size_t& at : built.central_headers) at += built.directory_offset;
  zip.insert(zip.end(), directory.begin(), directory.end());
  const std::uint32_t count = static_cast<std::uint32_t>(members.size());
  if (layout.zip64_end) {
    const std::size_t record = zip.size();
    Put32(zip, 0x06064b50);
    Put64(zip, 44);
    Put16(zip, 45);
    Put16(zip, 45);
    Put32(zip, 0);
    Put32(zip, 0);
    Put64(zip, count);
    Put64(zip, count);
    Put64(zip, directory.size());
    Put64(zip, built.directory_offset);
    Put32(zip, 0x07064b50);
    Put32(zip, 0);
    Put64(zip, record);
    Put32(zip, 1);
  }
  built.end_record_offset = zip.size();
  Put32(zip, 0x06054b50);
  Put16(zip, 0);
  Put16(zip, 0);
  Put16(zip, layout.zip64_end ? 0xFFFF : count);
  Put16(zip, layout.zip64_end ? 0xFFFF : count);
  Put32(zip, layout.zip64_end ? 0xFFFFFFFF : static_cast<std::uint32_t>(directory.size()));
  Put32(zip, layout.zip64_end ? 0xFFFFFFFF : static_cast<std::uint32_t>(built.directory_offset));
  Put16(zip, static_cast<std::uint32_t>(layout.comment.size()));
  zip.insert(zip.end(), layout.comment.begin(), layout.comment.end());
  return built;
}

}  // namespace zip_builder
