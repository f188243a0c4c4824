// The process-wide log sink and comment sink. Engine code writes one
// time-stamped line per action through LogLine and feeds picture comments one
// character at a time through AddCommentChar; the main window installs the
// windows that receive them. With nothing installed both do nothing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

// One argument of a log line: a string or a number.
class LogArg {
 public:
  LogArg() = default;
  LogArg(const char* text) : value_(std::string(text ? text : "")) {}
  LogArg(std::string_view text) : value_(std::string(text)) {}
  LogArg(const std::string& text) : value_(text) {}
  LogArg(int number) : value_(static_cast<std::int64_t>(number)) {}
  LogArg(long number) : value_(static_cast<std::int64_t>(number)) {}
  LogArg(long long number) : value_(static_cast<std::int64_t>(number)) {}
  LogArg(unsigned number) : value_(static_cast<std::int64_t>(number)) {}
  LogArg(unsigned long number) : value_(static_cast<std::int64_t>(number)) {}
  LogArg(unsigned long long number) : value_(static_cast<std::int64_t>(number)) {}

  const std::variant<std::monostate, std::string, std::int64_t>& value() const { return value_; }

 private:
  std::variant<std::monostate, std::string, std::int64_t> value_;
};

// Expands a printf-style format with at most two arguments. Each conversion
// takes the next argument: %s shows strings (a number as decimal), numeric
// conversions (%d %ld %u %lu %x %c, with flags and widths) show numbers (a
// string as 0). A conversion without an argument shows nothing.
std::string FormatLogText(std::string_view format, const LogArg& a = {}, const LogArg& b = {});

// Receives finished log lines ("hh:mm:ss text").
class LogSink {
 public:
  virtual ~LogSink() = default;
  virtual void AppendLogLine(std::string_view line) = 0;
};
void InstallLogSink(LogSink* sink);

// Writes "hh:mm:ss " (local time) and the expanded format to the installed sink.
void LogLine(std::string_view format, const LogArg& a = {}, const LogArg& b = {});

// Receives comment characters; 0 clears the comments.
class CommentSink {
 public:
  virtual ~CommentSink() = default;
  virtual void AppendCommentChar(int ch) = 0;
  // The comments as text, each line ended by CR LF; writers that store a
  // comment take it from here. Empty when the sink keeps no text.
  virtual std::string CommentText() const { return {}; }
};
void InstallCommentSink(CommentSink* sink);
void AddCommentChar(int ch);
// The installed sink's CommentText(), or empty when none is installed.
std::string GetCommentText();

// Set while a utility command (unzip, zip listing, install, remove) runs, so the
// log window repaints between its lines.
void SetUtilityRunning(bool running);
bool IsUtilityRunning();
