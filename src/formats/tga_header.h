// The fixed layout of a Targa file, shared by the reader and the writer.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kTgaHeaderSize = 18;

// Field offsets in the header (all multi-byte fields little-endian).
inline constexpr std::size_t kTgaIdLengthOffset = 0;
inline constexpr std::size_t kTgaMapTypeOffset = 1;
inline constexpr std::size_t kTgaImageTypeOffset = 2;
inline constexpr std::size_t kTgaMapFirstOffset = 3;
inline constexpr std::size_t kTgaMapLengthOffset = 5;
inline constexpr std::size_t kTgaMapEntryBitsOffset = 7;
inline constexpr std::size_t kTgaWidthOffset = 12;
inline constexpr std::size_t kTgaHeightOffset = 14;
inline constexpr std::size_t kTgaDepthOffset = 16;
inline constexpr std::size_t kTgaDescriptorOffset = 17;

inline constexpr int kTgaTypeMapped = 1;
inline constexpr int kTgaTypeTrueColour = 2;
inline constexpr int kTgaTypeGrey = 3;
inline constexpr int kTgaTypeMappedRle = 9;
inline constexpr int kTgaTypeTrueColourRle = 10;
inline constexpr int kTgaTypeGreyRle = 11;

// Descriptor bit 4: pixels run from the right. Bit 5: rows run from the top.
// Bits 7-6: interleave.
inline constexpr std::uint8_t kTgaRightOrigin = 0x10;
inline constexpr std::uint8_t kTgaTopOrigin = 0x20;
inline constexpr int kTgaInterleaveShift = 6;

// Packet header: bit 7 marks a run, the low 7 bits hold the count less one.
inline constexpr std::uint8_t kTgaRunPacket = 0x80;
inline constexpr std::uint8_t kTgaPacketCountMask = 0x7F;
inline constexpr int kTgaMaxPacket = 128;
