// Bitmap files built byte by byte for the BMP tests.
#pragma once

#include <cstdint>
#include <vector>

namespace bmp_test {

inline void U16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void U32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  U16(out, v & 0xFFFF);
  U16(out, v >> 16);
}

struct InfoHeader {
  int header_size = 40;
  std::int32_t width = 0;
  std::int32_t height = 0;
  int bits = 8;
  std::uint32_t compression = 0;
  std::uint32_t colours_used = 0;
};

// The information header (12-byte core form or 40 bytes and longer).
inline std::vector<std::uint8_t> Info(const InfoHeader& h) {
  std::vector<std::uint8_t> out;
  U32(out, static_cast<std::uint32_t>(h.header_size));
  if (h.header_size == 12) {
    U16(out, static_cast<std::uint32_t>(h.width));
    U16(out, static_cast<std::uint32_t>(h.height));
    U16(out, 1);
    U16(out, static_cast<std::uint32_t>(h.bits));
    return out;
  }
  U32(out, static_cast<std::uint32_t>(h.width));
  U32(out, static_cast<std::uint32_t>(h.height));
  U16(out, 1);
  U16(out, static_cast<std::uint32_t>(h.bits));
  U32(out, h.compression);
  U32(out, 0);
  U32(out, 2835);
  U32(out, 2835);
  U32(out, h.colours_used);
  U32(out, 0);
  out.resize(static_cast<std::size_t>(h.header_size), 0);
  return out;
}

// Colour i of a test table: (i, 255 - i, i / 2).
inline std::vector<std::uint8_t> Table(int entries, int entry_size = 4) {
  std::vector<std::uint8_t> out;
  for (int i = 0; i < entries; ++i) {
    out.push_back(static_cast<std::uint8_t>(i / 2));    // blue
    out.push_back(static_cast<std::uint8_t>(255 - i));  // green
    out.push_back(static_cast<std::uint8_t>(i));        // red
    if (entry_size == 4) out.push_back(0);
  }
  return out;
}

// "BM", sizes, then the header, table, `gap` extra bytes and the pixel data;
// the offset field points at the pixel data.
inline std::vector<std::uint8_t> File(const std::vector<std::uint8_t>& info,
                                      const std::vector<std::uint8_t>& table,
                                      const std::vector<std::uint8_t>& pixels, int gap = 0) {
  std::vector<std::uint8_t> out = {'B', 'M'};
  const std::uint32_t offset = static_cast<std::uint32_t>(14 + info.size() + table.size() + gap);
  U32(out, static_cast<std::uint32_t>(offset + pixels.size()));
  U32(out, 0);
  U32(out, offset);
  out.insert(out.end(), info.begin(), info.end());
  out.insert(out.end(), table.begin(), table.end());
  out.insert(out.end(), static_cast<std::size_t>(gap), 0xEE);
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

}  // namespace bmp_test
