#include "app/log_tee.h"

#include <cstdlib>

TLogTee::TLogTee(const std::string& target) {
  if (target.empty()) return;
  if (target == "-") {
    file_ = stderr;
    return;
  }
  file_ = std::fopen(target.c_str(), "a");
  if (!file_) return;
  owns_file_ = true;
  std::setvbuf(file_, nullptr, _IOLBF, BUFSIZ);
}

TLogTee::~TLogTee() {
  if (owns_file_) std::fclose(file_);
}

void TLogTee::AppendLogLine(std::string_view line) {
  if (window_) window_->AppendLogLine(line);
  if (!file_) return;
  // A file name with a line break must not split one entry into two lines.
  std::string text(line);
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 32) c = '?';
  }
  text += '\n';
  std::fputs(text.c_str(), file_);
  std::fflush(file_);
}

TLogTee& ConnectLogWindow(LogSink* window) {
  static TLogTee tee([] {
    const char* target = std::getenv(kLogFileVariable);
    return std::string(target ? target : "");
  }());
  tee.SetWindow(window);
  InstallLogSink(&tee);
  return tee;
}
