#include "archive/decode.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "archive/archive_messages.h"
#include "platform/log_sink.h"
#include "platform/long_operation.h"
#include "platform/path.h"

namespace {
class ReadFile {
 public:
  explicit ReadFile(const std::string& path) : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~ReadFile() {
    if (fd_ >= 0) close(fd_);
  }
  ReadFile(const ReadFile&) = delete;
  ReadFile& operator=(const ReadFile&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

bool IsEndLine(const TextLine& line) {
  return line.length == 3 && line.StartsWith("end");
}

}  // namespace

TDecode::~TDecode() {
  if (file_) {
    LogLine(kLogShortDecode);
    file_.Close();
  }
}

void TDecode::Decode(const std::string& path) {
  TextLine line;
  for (int part = 1; part <= kMaxParts; ++part) {
    path_ = part == 1 ? path : DecodePartName(path, part);
    ReadFile input(path_);
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
  if (!file_) {
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

void TDecode::StartFile(const TextLine& line) {
  unsigned mode = 0;
  char name[kTextLineLimit + 1] = {};
  if (std::sscanf(line.text, "begin %o %255s", &mode, name) != 2) return;
  const std::string reduced = ReduceToSafeFileName(name);
  if (reduced.empty()) {
    // A name like "..", or one made only of directories, is never written.
    LogLine(kLogUnsafeName, name);
    return;
  }
  PathParts where = SplitPath(path_);
  where.name = reduced;
  where.extension.clear();
  const std::string output = JoinPath(where);
  if (IsSameFile(output, input_)) {
    LogLine(kLogOwnInput, output);
    return;
  }
  if (!file_.Open(CreateOutputFile(output), "wb")) return;
  LogLine(kLogCreated, output);
  last_full_ = true;
  saw_terminator_ = false;
  lenient_ = true;
}

void TDecode::CloseFile() {
  if (!saw_terminator_) LogLine(kLogShortDecode);
  file_.Close();
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
  std::fwrite(bytes, 1, static_cast<std::size_t>(n), file_.get());
}

void RunDecode(const std::vector<std::string>& paths) {
  ShowProgress(50);
  {
    TDecode decode;
    for (const std::string& path : paths) decode.Decode(path);
  }
  EndProgress();
}
