// The byte layout of a GIF file, shared by the single-canvas reader and the
// animation player.
#pragma once

#include <array>

namespace gif {

inline constexpr int kHeaderSize = 6;
inline constexpr int kScreenDescriptorSize = 7;
inline constexpr int kImageDescriptorSize = 9;

inline constexpr int kImageIntroducer = 0x2C;
inline constexpr int kExtensionIntroducer = 0x21;
inline constexpr int kBlockPadding = 0x00;
inline constexpr int kCommentLabel = 0xFE;
inline constexpr int kGraphicControlLabel = 0xF9;
inline constexpr int kApplicationLabel = 0xFF;

// Screen and image descriptor flags.
inline constexpr int kColourTableFlag = 0x80;
inline constexpr int kInterlaceFlag = 0x40;
inline constexpr int kTableSizeMask = 0x07;

// Graphic control extension.
inline constexpr int kTransparentFlag = 0x01;
inline constexpr int kTransparentIndexByte = 3;
inline constexpr int kDisposalShift = 2;
inline constexpr int kDisposalMask = 0x07;

// Interlace passes 0..3, and pass 4 for rows in order.
inline constexpr int kNotInterlacedPass = 4;
inline constexpr std::array<int, 5> kPassFirstRow = {0, 4, 2, 1, 0};
inline constexpr std::array<int, 5> kPassStep = {8, 8, 4, 2, 1};

}  // namespace gif
