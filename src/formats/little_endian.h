// Little-endian fields of file headers, read from and written to byte buffers
// whose length the caller has already checked.
#pragma once

#include <cstdint>
#include <vector>

inline std::uint16_t read_u16le(const std::uint8_t* bytes) {
  return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

inline std::uint32_t read_u32le(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

inline std::int32_t read_i32le(const std::uint8_t* bytes) {
  return static_cast<std::int32_t>(read_u32le(bytes));
}

inline void put_u16le(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void put_u32le(std::vector<std::uint8_t>& out, std::uint32_t value) {
  put_u16le(out, value & 0xFFFF);
  put_u16le(out, value >> 16);
}
