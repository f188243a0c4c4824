// TEncode: writes a file as uuencoded text in numbered section files
// (pic.uu1 ... pic.uu9, pic.u10 ... pic.u99) of a bounded number of lines,
// each ready to be posted as one message. The sections replace files of their
// names only when every one of them is written completely.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

inline constexpr int kMinEncodeLines = 1;
inline constexpr int kMaxEncodeLines = 32767;

class TEncode {
 public:
  // `lines_per_section` is the EncodeLines setting, clamped to its range.
  explicit TEncode(int lines_per_section);

  // False when the input cannot be read or a section cannot be written.
  bool Encode(const std::string& path);

 private:
  int lines_per_section_;
};

// Name of section `section` (1..99) of the encoding of `path`.
std::string EncodeSectionName(const std::string& path, int section);

// The number of sections and of data lines per section (a full section holds
// one line more) for a file of `size` bytes.
struct EncodeLayout {
  std::int64_t sections;
  std::int64_t lines;
};
EncodeLayout PlanEncodeSections(std::uint64_t size, int lines_per_section);

// The Encode command over the chosen files, with the busy cursor shown
// meanwhile. False when any file failed.
bool RunEncode(const std::vector<std::string>& paths, int lines_per_section);
