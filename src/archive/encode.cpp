#include "archive/encode.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "archive/archive_messages.h"
#include "archive/encoded_text.h"
#include "archive/regular_input.h"
#include "archive/replacement_file.h"
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

void WriteDataLine(TReplacementFile& out, const unsigned char* bytes, std::size_t count) {
  unsigned char line[kUuFullLineLength + 1];
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
  out.Write(line, length);
}

void WriteText(TReplacementFile& out, const std::string& text) {
  out.Write(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

void WriteBanner(TReplacementFile& out, int section, int sections, const std::string& file_name) {
  const int length = std::snprintf(nullptr, 0, kBannerFormat, section, sections, file_name.c_str());
  if (length <= 0) return;
  std::string banner(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(banner.data(), banner.size(), kBannerFormat, section, sections, file_name.c_str());
  banner.pop_back();
  WriteText(out, banner);
}

// Reads up to `length` bytes; false on a read error.
bool ReadChunk(std::FILE* input, unsigned char* bytes, std::size_t length, std::size_t& got) {
  got = std::fread(bytes, 1, length, input);
  return got > 0 || !std::ferror(input);
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

bool TEncode::Encode(const std::string& path) {
  BufferedFile input;
  if (!input.Open(OpenRegularFile(path), "rb")) return false;
  LogLine(kLogEncoding, path);
  struct stat info {};
  const std::uint64_t size =
      fstat(fileno(input.get()), &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
  const EncodeLayout layout = PlanEncodeSections(size, lines_per_section_);
  const int sections = static_cast<int>(layout.sections);
  const PathParts parts = SplitPath(path);
  const std::string file_name = parts.name + parts.extension;
  // Every section is kept beside its name until the last one is written, so
  // a failure leaves the files of those names as they were.
  std::vector<std::unique_ptr<TReplacementFile>> written;
  unsigned char bytes[kUuFullLineBytes];
  bool at_end = false;
  for (int section = 1; section <= kMaxSections && !at_end; ++section) {
    const std::string section_path = EncodeSectionName(path, section);
    if (IsSameFile(section_path, fileno(input.get()))) {
      LogLine(kLogOwnInput, section_path);
      return false;
    }
    auto out = std::make_unique<TReplacementFile>();
    if (!out->Create(section_path)) {
      LogLine(kLogCannotCreate, section_path, out->FailureReason());
      return false;
    }
    LogLine(kLogCreated, section_path);
    WriteBanner(*out, section, sections, file_name);
    if (section == 1) WriteText(*out, "begin 644 " + file_name + "\n");
    std::int64_t lines = 0;
    do {
      std::size_t got = 0;
      if (!ReadChunk(input.get(), bytes, sizeof bytes, got)) {
        LogLine(kLogReadFailed, path);
        return false;
      }
      if (got == 0) {
        WriteText(*out, "`\nend\n");
        at_end = true;
        break;
      }
      WriteDataLine(*out, bytes, got);
      ++lines;
    } while (lines <= layout.lines && !out->failed());
    WriteBanner(*out, section, sections, file_name);
    if (!out->Finish()) {
      LogLine(kLogWriteFailed, section_path, out->FailureReason());
      return false;
    }
    written.push_back(std::move(out));
  }
  if (!at_end) {
    LogLine(kLogReadFailed, path);  // the file grew while it was read
    return false;
  }
  for (const auto& section : written) {
    if (!section->Commit()) {
      LogLine(kLogWriteFailed, section->target(), section->FailureReason());
      return false;
    }
  }
  return true;
}

bool RunEncode(const std::vector<std::string>& paths, int lines_per_section) {
  ShowProgress(50);
  TEncode encode(lines_per_section);
  bool all_done = true;
  for (const std::string& path : paths) all_done = encode.Encode(path) && all_done;
  EndProgress();
  return all_done;
}
