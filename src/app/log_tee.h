// The process-wide log sink: every line goes to the log window when one is
// connected, and also to the file that ZENTROPE_LOG names ("-" for standard
// error), in any backend. The file is opened once, for appending, and written
// line by line so that a crash loses nothing already logged.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "platform/log_sink.h"

inline constexpr char kLogFileVariable[] = "ZENTROPE_LOG";

class TLogTee final : public LogSink {
 public:
  // `target`: a path, "-" for standard error, or empty for no file.
  explicit TLogTee(const std::string& target);
  ~TLogTee() override;
  TLogTee(const TLogTee&) = delete;
  TLogTee& operator=(const TLogTee&) = delete;

  // The log window (null: none); it receives the lines first.
  void SetWindow(LogSink* window) { window_ = window; }
  LogSink* Window() const { return window_; }
  // False when a target was named but could not be opened.
  bool FileOpen() const { return file_ != nullptr; }

  void AppendLogLine(std::string_view line) override;

 private:
  LogSink* window_ = nullptr;
  std::FILE* file_ = nullptr;
  bool owns_file_ = false;
};

// The tee of this process, made from ZENTROPE_LOG on first use and installed
// as the log sink; `window` becomes its log window (null disconnects it).
TLogTee& ConnectLogWindow(LogSink* window);
