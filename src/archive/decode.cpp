#include "archive/decode.h"

#include <sys/stat.h>

#include <cstdio>

#include "archive/archive_messages.h"
#include "archive/regular_input.h"
#include "archive/safe_name.h"
#include "platform/log_sink.h"
#include "platform/long_operation.h"
#include "platform/path.h"

namespace {
bool IsEndLine(const TextLine& line) {
  return line.length == 3 && line.StartsWith("end");
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}
}  // namespace

TDecode::~TDecode() {
  Finish();
}

void TDecode::Finish() {
  if (!output_.is_open()) return;
  LogLine(kLogShortDecode);
  output_.Discard();
  failed_ = true;
}

void TDecode::Decode(const std::string& path) {
  TextLine line;
  set_path_ = path;
  for (int part = 1; part <= kMaxParts; ++part) {
    path_ = part == 1 ? path : DecodePartName(path, part);
    TRegularInput input(path_);
    input_ = input.fd();
    if (input.fd() < 0) return;
    LogLine(kLogDecoding, path_);
    LineReader reader(input.fd());
    while (reader.Next(line)) {
      if (line.length == 0) continue;
      StripTrailing(line, ' ');
      ProcessLine(line);
    }
    input_ = -1;
  }
}

void TDecode::ProcessLine(TextLine& line) {
  if (!output_.is_open()) {
    if (line.StartsWith("begin ")) StartFile(line);
    return;
  }
  if (line.StartsWith("begin ") || IsEndLine(line)) {
    CloseFile();
    if (line.StartsWith("begin ")) StartFile(line);
    return;
  }
  DataLine(line);
}

// Replacing any part of the set, even one already read, would destroy the
// posting being decoded.
bool TDecode::IsPartOfSet(const std::string& output) const {
  struct stat target {};
  if (stat(output.c_str(), &target) != 0) return false;
  for (int part = 1; part <= kMaxParts; ++part) {
    const std::string name = part == 1 ? set_path_ : DecodePartName(set_path_, part);
    struct stat info {};
    if (stat(name.c_str(), &info) != 0) break;
    if (SameFile(info, target)) return true;
  }
  return input_ >= 0 && IsSameFile(output, input_);
}

void TDecode::StartFile(const TextLine& line) {
  unsigned mode = 0;
  char name[kTextLineLimit + 1] = {};
  if (std::sscanf(line.text, "begin %o %255s", &mode, name) != 2) return;
  const std::string reduced = ReduceToSafeFileName(name);
  if (reduced.empty()) {
    // A name like "..", or one made only of directories, is never written.
    LogLine(kLogUnsafeName, ReplaceControlBytes(name));
    failed_ = true;
    return;
  }
  PathParts where = SplitPath(path_);
  where.name = reduced;
  where.extension.clear();
  const std::string output = JoinPath(where);
  if (IsPartOfSet(output)) {
    LogLine(kLogOwnInput, output);
    failed_ = true;
    return;
  }
  if (!output_.Create(output)) {
    LogLine(kLogCannotCreate, output, output_.FailureReason());
    failed_ = true;
    return;
  }
  LogLine(kLogCreated, output);
  last_full_ = true;
  saw_terminator_ = false;
  lenient_ = true;
}

void TDecode::CloseFile() {
  const std::string output = output_.target();
  if (output_.failed()) {
    LogLine(kLogWriteFailed, output, output_.FailureReason());
  } else if (!saw_terminator_) {
    LogLine(kLogShortDecode);
  } else if (output_.Commit()) {
    ++completed_;
    return;
  } else {
    LogLine(kLogWriteFailed, output, output_.FailureReason());
  }
  output_.Discard();
  failed_ = true;
}

void TDecode::DataLine(TextLine& line) {
  const bool previous_full = last_full_;
  saw_terminator_ = false;
  last_full_ = false;
  if (line.length == kUuCheckedLineLength) line.length = kUuFullLineLength;
  if (line.length > kUuFullLineLength) return;
  bool saw_backquote = false;
  for (std::size_t i = 0; i < line.length; ++i) {
    const auto c = static_cast<unsigned char>(line.text[i]);
    if (!IsUuChar(c)) return;
    if (c == '`') saw_backquote = true;
  }
  if (line.text[0] == 'M' && line.length == kUuFullLineLength &&
      (saw_backquote || line.text[line.length - 1] == ' ')) {
    lenient_ = false;
  }
  const int n = static_cast<int>(UuValue(line.text[0]));
  const std::size_t expected = static_cast<std::size_t>((n + 2) / 3 * 4 + 1);
  const bool accepted =
      n <= kUuFullLineBytes && (lenient_ ? line.length <= expected : line.length == expected);
  if (!accepted) return;
  if (n == 0) {
    saw_terminator_ = true;
    return;
  }
  if (n == kUuFullLineBytes) {
    last_full_ = true;
  } else if (!previous_full) {
    return;  // a short line must follow a full line: junk between parts
  }
  unsigned char bytes[kUuFullLineBytes];
  DecodeUuGroups(line.text + 1, n, bytes);
  output_.Write(bytes, static_cast<std::size_t>(n));
}

bool RunDecode(const std::vector<std::string>& paths) {
  ShowProgress(50);
  TDecode decode;
  for (const std::string& path : paths) decode.Decode(path);
  decode.Finish();
  EndProgress();
  return !decode.failed();
}
