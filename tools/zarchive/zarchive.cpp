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
// The log goes to standard error. The exit status is 1 whenever the engine
// reports that a command did not do all it was asked, 2 for a usage error.
#include <unistd.h>

#include <sys/stat.h>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "../common/tool_session.h"
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

class StderrLog : public LogSink {
 public:
  void AppendLogLine(std::string_view line) override {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
  }
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

int Unzip(const std::string& archive, std::string destination) {
  // An empty answer keeps the archive's own folder, as at the prompt.
  struct stat info {};
  if (!destination.empty() && (stat(destination.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))) {
    std::fprintf(stderr, "zarchive: %s is not a folder\n", destination.c_str());
    return kExitFailed;
  }
  return RunUnzip({archive}, AnswerWith, &destination) ? kExitOk : kExitFailed;
}

int List(const std::string& archive) {
  return RunZipInfo({archive}) ? kExitOk : kExitFailed;
}

int Uudecode(const std::vector<std::string>& files) {
  for (const std::string& file : files) {
    if (!Readable(file)) return kExitFailed;
  }
  TDecode decode;
  for (const std::string& file : files) decode.Decode(file);
  decode.Finish();
  if (decode.failed()) return kExitFailed;
  if (decode.completed() == 0) {
    std::fputs("zarchive: no begin line found\n", stderr);
    return kExitFailed;
  }
  return kExitOk;
}

int Uuencode(const std::string& file) {
  if (!Readable(file)) return kExitFailed;
  TProfile settings;
  UseDefaultSettings(settings);
  return RunEncode({file}, settings.Get(IntKey::EncodeLines)) ? kExitOk : kExitFailed;
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
    status = Unzip(args[1], args[2]);
  } else if (command == "list" && args.size() == 2) {
    status = List(args[1]);
  } else if (command == "uudecode") {
    status = Uudecode({args.begin() + 1, args.end()});
  } else if (command == "uuencode" && args.size() == 2) {
    status = Uuencode(args[1]);
  } else if (command == "cat" && args.size() == 2) {
    status = Cat(args[1]);
  } else {
    Usage();
  }
  InstallLogSink(nullptr);
  return status;
}
