#include "archive/encode.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "archive/archive_messages.h"
#include "archive/encoded_text.h"
#include "platform/log_sink.h"
#include "platform/long_operation.h"
#include "platform/path.h"

namespace {
constexpr int kMaxSections = 99;
constexpr char kBannerFormat[] = "\nsection %d/%d   file %s   [ Zentrope 4.0 ]\n\n";

// Zero is written as the backquote so that no line ends in a space.
char UuChar(unsigned value) {
  value &= 63;
  return value == 0 ? '`' : static_cast<char>(' ' + value);
}

void WriteDataLine(std::FILE* out, const unsigned char* bytes, std::size_t count) {
  char line[kUuFullLineLength + 1];
  std::size_t length = 0;
  line[length++] = UuChar(static_cast<unsigned>(count));
  for (std::size_t i = 0; i < count; i += 3) {
    const unsigned b1 = bytes[i];
    const unsigned b2 = i + 1 < count ? bytes[i + 1] : 0;
    const unsigned b3 = i + 2 < count ? bytes[i + 2] : 0;
    line[length++] = UuChar(b1 >> 2);
    line[length++] = UuChar((b1 & 3) << 4 | b2 >> 4);
    line[length++] = UuChar((b2 & 15) << 2 | b3 >> 6);
    line[length++] = UuChar(b3);
  }
  line[length++] = '\n';
  std::fwrite(line, 1, length, out);
}

void WriteBanner(std::FILE* out, int section, int sections, const std::string& file_name) {
  std::fprintf(out, kBannerFormat, section, sections, file_name.c_str());
}
}  // namespace

EncodeLayout PlanEncodeSections(std::uint64_t size, int lines_per_section) {
  const auto bytes_per_section = static_cast<std::uint64_t>(lines_per_section) * kUuFullLineBytes;
  auto sections = static_cast<std::int64_t>(size / bytes_per_section + 1);
  auto lines = static_cast<std::int64_t>(
      size / (static_cast<std::uint64_t>(sections) * kUuFullLineBytes) + 1);
  while (sections >= kMaxSections + 1) {
    sections /= 2;
    lines = lines * 2 + 1;
  }
  return {sections, lines};
}

std::string EncodeSectionName(const std::string& path, int section) {
  PathParts parts = SplitPath(path);
  parts.extension = (section <= 9 ? ".uu" : ".u") + std::to_string(section);
  return JoinPath(parts);
}

TEncode::TEncode(int lines_per_section)
    : lines_per_section_(std::clamp(lines_per_section, kMinEncodeLines, kMaxEncodeLines)) {}

void TEncode::Encode(const std::string& path) {
  BufferedFile input;
  if (!input.Open(open(path.c_str(), O_RDONLY | O_CLOEXEC), "rb")) return;
  LogLine(kLogEncoding, path);
  std::fseek(input.get(), 0, SEEK_END);
  const long end = std::ftell(input.get());
  std::fseek(input.get(), 0, SEEK_SET);
  const EncodeLayout layout =
      PlanEncodeSections(end > 0 ? static_cast<std::uint64_t>(end) : 0, lines_per_section_);
  const int sections = static_cast<int>(layout.sections);
  const PathParts parts = SplitPath(path);
  const std::string file_name = parts.name + parts.extension;
  unsigned char bytes[kUuFullLineBytes];
  for (int section = 1; section <= kMaxSections; ++section) {
    const std::string section_path = EncodeSectionName(path, section);
    BufferedFile out;
    if (!out.Open(CreateOutputFile(section_path), "w")) return;
    LogLine(kLogCreated, section_path);
    WriteBanner(out.get(), section, sections, file_name);
    if (section == 1) std::fprintf(out.get(), "begin 644 %s\n", file_name.c_str());
    std::int64_t written = 0;
    do {
      const std::size_t got = std::fread(bytes, 1, sizeof bytes, input.get());
      if (got == 0) {
        std::fputs("`\nend\n", out.get());
        WriteBanner(out.get(), section, sections, file_name);
        return;
      }
      WriteDataLine(out.get(), bytes, got);
      ++written;
    } while (written <= layout.lines);
    WriteBanner(out.get(), section, sections, file_name);
  }
}

void RunEncode(const std::vector<std::string>& paths, int lines_per_section) {
  ShowProgress(50);
  TEncode encode(lines_per_section);
  for (const std::string& path : paths) encode.Encode(path);
  EndProgress();
}
