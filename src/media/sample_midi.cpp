#include "media/sample_midi.h"

#include <cstdio>

namespace {

constexpr int kTicksPerQuarter = 96;
constexpr std::uint32_t kMicrosecondsPerQuarter = 500000;  // 120 beats a minute
constexpr std::uint8_t kNoteOn = 0x90;
constexpr std::uint8_t kNoteOff = 0x80;
constexpr std::uint8_t kProgramChange = 0xC0;
constexpr std::uint8_t kVelocity = 100;
constexpr std::uint8_t kMiddleC = 60;
constexpr int kMajorScale[] = {0, 2, 4, 5, 7, 9, 11, 12};

void PutU32be(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutU16be(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value >> 8));
  out.push_back(static_cast<std::uint8_t>(value));
}

// Delta times are variable-length: seven bits a byte, the high bit set on all but the last.
void PutDelta(std::vector<std::uint8_t>& out, std::uint32_t ticks) {
  std::uint8_t bytes[5];
  int count = 0;
  do {
    bytes[count++] = static_cast<std::uint8_t>(ticks & 0x7F);
    ticks >>= 7;
  } while (ticks != 0 && count < 5);
  while (count > 1) out.push_back(bytes[--count] | 0x80);
  out.push_back(bytes[0]);
}

}  // namespace

std::vector<std::uint8_t> MakeSampleMidi(int notes) {
  std::vector<std::uint8_t> track;
  PutDelta(track, 0);
  track.insert(track.end(), {0xFF, 0x51, 0x03});
  track.push_back(static_cast<std::uint8_t>(kMicrosecondsPerQuarter >> 16));
  track.push_back(static_cast<std::uint8_t>(kMicrosecondsPerQuarter >> 8));
  track.push_back(static_cast<std::uint8_t>(kMicrosecondsPerQuarter));
  PutDelta(track, 0);
  track.insert(track.end(), {kProgramChange, 0});
  for (int index = 0; index < notes; ++index) {
    const auto note = static_cast<std::uint8_t>(kMiddleC + kMajorScale[index % 8]);
    PutDelta(track, 0);
    track.insert(track.end(), {kNoteOn, note, kVelocity});
    PutDelta(track, kTicksPerQuarter);
    track.insert(track.end(), {kNoteOff, note, 0});
  }
  PutDelta(track, 0);
  track.insert(track.end(), {0xFF, 0x2F, 0x00});

  std::vector<std::uint8_t> file = {'M', 'T', 'h', 'd'};
  PutU32be(file, 6);
  PutU16be(file, 0);  // one track
  PutU16be(file, 1);
  PutU16be(file, kTicksPerQuarter);
  file.insert(file.end(), {'M', 'T', 'r', 'k'});
  PutU32be(file, static_cast<std::uint32_t>(track.size()));
  file.insert(file.end(), track.begin(), track.end());
  return file;
}

bool WriteSampleFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}
