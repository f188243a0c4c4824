// The fixed layout of a PCX file, shared by the reader and the writer.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kPcxHeaderSize = 128;
inline constexpr std::uint8_t kPcxManufacturer = 0x0A;

// Field offsets in the header (all multi-byte fields little-endian).
inline constexpr std::size_t kPcxVersionOffset = 1;
inline constexpr std::size_t kPcxEncodingOffset = 2;
inline constexpr std::size_t kPcxBitsOffset = 3;
inline constexpr std::size_t kPcxXMinOffset = 4;
inline constexpr std::size_t kPcxYMinOffset = 6;
inline constexpr std::size_t kPcxXMaxOffset = 8;
inline constexpr std::size_t kPcxYMaxOffset = 10;
inline constexpr std::size_t kPcxHResOffset = 12;
inline constexpr std::size_t kPcxVResOffset = 14;
inline constexpr std::size_t kPcxHeaderMapOffset = 16;
inline constexpr std::size_t kPcxPlanesOffset = 65;
inline constexpr std::size_t kPcxBytesPerLineOffset = 66;
inline constexpr std::size_t kPcxPaletteInfoOffset = 68;
inline constexpr std::size_t kPcxHScreenOffset = 70;
inline constexpr std::size_t kPcxVScreenOffset = 72;

inline constexpr int kPcxHeaderMapEntries = 16;

// Run-length coding: a byte with both top bits set is a count (low 6 bits)
// for the byte that follows.
inline constexpr std::uint8_t kPcxRunFlag = 0xC0;
inline constexpr std::uint8_t kPcxRunCountMask = 0x3F;
inline constexpr int kPcxMaxRun = 63;

// The 256-colour palette at the end of the file: a marker and 768 bytes.
inline constexpr std::uint8_t kPcxPaletteMarker = 12;
inline constexpr std::size_t kPcxPaletteBytes = 768;
