#include "media/sample_flic.h"

#include <algorithm>

namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr std::size_t kFrameHeaderSize = 16;
constexpr std::size_t kChunkHeaderSize = 6;
constexpr std::uint16_t kFliMagic = 0xAF11;
constexpr std::uint16_t kFlcMagic = 0xAF12;
constexpr std::uint16_t kFrameType = 0xF1FA;
constexpr std::uint16_t kColor256 = 4;  // palette, 8 bits a component (FLC)
constexpr std::uint16_t kColor64 = 11;  // palette, 6 bits a component (FLI)
constexpr std::uint16_t kByteRun = 15;
constexpr std::uint32_t kFliJiffies = 5;  // 1/70 s each: 14 frames a second
constexpr std::uint32_t kFlcMilliseconds = 70;
constexpr int kMaxRun = 127;

void PutU16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
  out[at] = static_cast<std::uint8_t>(value);
  out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void PutU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
  PutU16(out, at, value & 0xFFFF);
  PutU16(out, at + 2, value >> 16);
}

// Opens a chunk of `type`; returns where its header starts.
std::size_t BeginChunk(std::vector<std::uint8_t>& out, std::uint16_t type) {
  const std::size_t start = out.size();
  out.resize(start + kChunkHeaderSize);
  PutU16(out, start + 4, type);
  return start;
}

void EndChunk(std::vector<std::uint8_t>& out, std::size_t start) {
  // Chunks keep an even length.
  if ((out.size() - start) % 2 != 0) out.push_back(0);
  PutU32(out, start, static_cast<std::uint32_t>(out.size() - start));
}

void PutPalette(std::vector<std::uint8_t>& out, FlicKind kind) {
  const std::size_t chunk = BeginChunk(out, kind == FlicKind::kFli ? kColor64 : kColor256);
  out.insert(out.end(), {1, 0, 0, 0});  // one packet: skip 0, 256 colours
  const int shift = kind == FlicKind::kFli ? 2 : 0;
  for (int index = 0; index < 256; ++index) {
    out.push_back(static_cast<std::uint8_t>(index >> shift));
    out.push_back(static_cast<std::uint8_t>((255 - index) >> shift));
    out.push_back(static_cast<std::uint8_t>(((index * 4) & 0xFF) >> shift));
  }
  EndChunk(out, chunk);
}

// One line as byte runs: a count byte (ignored by readers) then packets of a
// positive count and one byte to repeat.
void PutByteRunLine(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& line) {
  const std::size_t count_at = out.size();
  out.push_back(0);
  int packets = 0;
  for (std::size_t at = 0; at < line.size();) {
    std::size_t run = 1;
    while (at + run < line.size() && run < kMaxRun && line[at + run] == line[at]) ++run;
    out.push_back(static_cast<std::uint8_t>(run));
    out.push_back(line[at]);
    at += run;
    ++packets;
  }
  out[count_at] = static_cast<std::uint8_t>(std::min(packets, 255));
}

void PutFrame(std::vector<std::uint8_t>& out, FlicKind kind, int frame, int frames, int width,
              int height) {
  const std::size_t start = out.size();
  out.resize(start + kFrameHeaderSize);
  PutU16(out, start + 4, kFrameType);
  int chunks = 1;
  if (frame == 0) {
    PutPalette(out, kind);
    ++chunks;
  }
  const std::size_t chunk = BeginChunk(out, kByteRun);
  const int side = std::max(1, height / 4);
  const int left = frames > 1 ? frame * (width - side) / (frames - 1) : 0;
  const int top = (height - side) / 2;
  std::vector<std::uint8_t> line(static_cast<std::size_t>(width));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool square = x >= left && x < left + side && y >= top && y < top + side;
      line[static_cast<std::size_t>(x)] =
          square ? 255 : static_cast<std::uint8_t>(y * 200 / height);
    }
    PutByteRunLine(out, line);
  }
  EndChunk(out, chunk);
  PutU16(out, start + 6, static_cast<std::uint32_t>(chunks));
  PutU32(out, start, static_cast<std::uint32_t>(out.size() - start));
}

}  // namespace

std::vector<std::uint8_t> MakeSampleFlic(FlicKind kind, int frames, int width, int height) {
  if (kind == FlicKind::kFli) {
    width = kFliWidth;
    height = kFliHeight;
  }
  width = std::clamp(width, 1, 0xFFFF);
  height = std::clamp(height, 1, 0xFFFF);
  frames = std::clamp(frames, 1, 4000);
  std::vector<std::uint8_t> out(kHeaderSize, 0);
  PutU16(out, 4, kind == FlicKind::kFli ? kFliMagic : kFlcMagic);
  PutU16(out, 6, static_cast<std::uint32_t>(frames));
  PutU16(out, 8, static_cast<std::uint32_t>(width));
  PutU16(out, 10, static_cast<std::uint32_t>(height));
  PutU16(out, 12, 8);  // bits a pixel
  PutU32(out, 16, kind == FlicKind::kFli ? kFliJiffies : kFlcMilliseconds);
  std::size_t first_frame = 0;
  for (int frame = 0; frame < frames; ++frame) {
    if (frame == 0) first_frame = out.size();
    if (frame == 1 && kind == FlicKind::kFlc)
      PutU32(out, 84, static_cast<std::uint32_t>(out.size()));
    PutFrame(out, kind, frame, frames, width, height);
  }
  if (kind == FlicKind::kFlc) {
    PutU32(out, 80, static_cast<std::uint32_t>(first_frame));
    if (frames == 1) PutU32(out, 84, static_cast<std::uint32_t>(first_frame));
    PutU16(out, 14, 3);  // flags: written completely
    PutU16(out, 38, 1);  // aspect ratio 1:1
    PutU16(out, 40, 1);
  }
  PutU32(out, 0, static_cast<std::uint32_t>(out.size()));
  return out;
}
