// zarchive: the archive engine from the shell, for tests and measurements.
//
//   zarchive unzip ARCHIVE DESTDIR   extract every member into DESTDIR ("":
//                                    the archive's own folder)
//   zarchive list ARCHIVE            the zip listing (in the log)
//   zarchive uudecode FILE...        decode into the files the begin lines
//                                    name, beside each FILE
//   zarchive uuencode FILE           numbered section files beside FILE
//   zarchive cat FILE                the stream's bytes on standard output
//
// The log goes to standard error. The engine reports trouble only in the log,
// so the exit status is read back from it.
#include <unistd.h>

#include <sys/stat.h>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "../common/tool_session.h"
#include "archive/archive_messages.h"
#include "archive/decode.h"
#include "archive/encode.h"
#include "archive/input_stream.h"
#include "archive/zip_commands.h"
#include "platform/log_sink.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr std::size_t kCatBufferSize = 65536;

// The log texts that mean a command did not do all it was asked.
constexpr const char* kFailureTexts[] = {
    kLogShortDecode, kLogUnsafeName,     kLogOwnInput,     kLogUnableToOpen,
    kLogNotAZip,     kLogObsoleteMethod, kLogShortZipRead, kLogShortZipWrite,
};

// Only the text before the first conversion is fixed.
bool MatchesFormat(std::string_view text, std::string_view format) {
  const std::string_view fixed = format.substr(0, format.find('%'));
  return !fixed.empty() && text.substr(0, fixed.size()) == fixed;
}

class StderrLog : public LogSink {
 public:
  void AppendLogLine(std::string_view line) override {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
    // Lines start with "hh:mm:ss ".
    const std::size_t space = line.find(' ');
    const std::string_view text =
        space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
    if (MatchesFormat(text, kLogCreated)) ++created_;
    for (const char* failure : kFailureTexts) {
      if (MatchesFormat(text, failure)) failed_ = true;
    }
  }
  bool failed() const { return failed_; }
  int created() const { return created_; }

 private:
  bool failed_ = false;
  int created_ = 0;
};

int Usage() {
  std::fputs(
      "usage: zarchive unzip ARCHIVE DESTDIR\n"
      "       zarchive list ARCHIVE\n"
      "       zarchive uudecode FILE...\n"
      "       zarchive uuencode FILE\n"
      "       zarchive cat FILE\n",
      stderr);
  return kExitUsage;
}

// The engine passes over inputs it cannot open without a word.
bool Readable(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), R_OK) == 0) {
    return true;
  }
  std::fprintf(stderr, "zarchive: cannot read %s\n", path.c_str());
  return false;
}

std::optional<std::string> AnswerWith(const std::string& /*initial*/, void* context) {
  return *static_cast<const std::string*>(context);
}

int Unzip(const std::string& archive, std::string destination, const StderrLog& log) {
  // An empty answer keeps the archive's own folder, as at the prompt.
  struct stat info {};
  if (!destination.empty() && (stat(destination.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))) {
    std::fprintf(stderr, "zarchive: %s is not a folder\n", destination.c_str());
    return kExitFailed;
  }
  RunUnzip({archive}, AnswerWith, &destination);
  return log.failed() ? kExitFailed : kExitOk;
}

int List(const std::string& archive, const StderrLog& log) {
  RunZipInfo({archive});
  return log.failed() ? kExitFailed : kExitOk;
}

int Uudecode(const std::vector<std::string>& files, const StderrLog& log) {
  for (const std::string& file : files) {
    if (!Readable(file)) return kExitFailed;
  }
  RunDecode(files);
  if (log.created() == 0) std::fputs("zarchive: no begin line found\n", stderr);
  return log.failed() || log.created() == 0 ? kExitFailed : kExitOk;
}

int Uuencode(const std::string& file, const StderrLog& log) {
  if (!Readable(file)) return kExitFailed;
  struct stat info {};
  stat(file.c_str(), &info);
  TProfile settings;
  UseDefaultSettings(settings);
  const int lines = settings.Get(IntKey::EncodeLines);
  RunEncode({file}, lines);
  // A section that cannot be created ends the encoding without a log line.
  const EncodeLayout layout =
      PlanEncodeSections(static_cast<std::uint64_t>(info.st_size),
                         std::clamp(lines, kMinEncodeLines, kMaxEncodeLines));
  if (log.created() < layout.sections) {
    std::fprintf(stderr, "zarchive: wrote %d of %lld sections\n", log.created(),
                 static_cast<long long>(layout.sections));
    return kExitFailed;
  }
  return kExitOk;
}

int Cat(const std::string& file) {
  InputStream* stream = stream_open(file.c_str(), "rb");
  if (stream == nullptr) {
    std::fprintf(stderr, "zarchive: cannot open %s\n", file.c_str());
    return kExitFailed;
  }
  // Byte by byte on purpose: this is the path the picture readers take.
  std::vector<unsigned char> buffer(kCatBufferSize);
  std::size_t filled = 0;
  bool written = true;
  for (int c = stream_getc(stream); c >= 0; c = stream_getc(stream)) {
    buffer[filled++] = static_cast<unsigned char>(c);
    if (filled == buffer.size()) {
      written = written && std::fwrite(buffer.data(), 1, filled, stdout) == filled;
      filled = 0;
    }
  }
  written = written && std::fwrite(buffer.data(), 1, filled, stdout) == filled;
  written = std::fflush(stdout) == 0 && written;
  // The CRC is checked when the member ends, so only the close tells.
  if (stream_close(stream) != 0) {
    std::fprintf(stderr, "zarchive: error reading %s\n", file.c_str());
    return kExitFailed;
  }
  if (!written) {
    std::fputs("zarchive: error writing standard output\n", stderr);
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() < 2) return Usage();
  TToolSettingsFolder folder;
  StderrLog log;
  InstallLogSink(&log);

  const std::string& command = args[0];
  int status = kExitUsage;
  if (command == "unzip" && args.size() == 3) {
    status = Unzip(args[1], args[2], log);
  } else if (command == "list" && args.size() == 2) {
    status = List(args[1], log);
  } else if (command == "uudecode") {
    status = Uudecode({args.begin() + 1, args.end()}, log);
  } else if (command == "uuencode" && args.size() == 2) {
    status = Uuencode(args[1], log);
  } else if (command == "cat" && args.size() == 2) {
    status = Cat(args[1]);
  } else {
    Usage();
  }
  InstallLogSink(nullptr);
  return status;
}
