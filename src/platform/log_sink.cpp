#include "platform/log_sink.h"

#include <cstdio>
#include <ctime>

namespace {
LogSink* log_sink = nullptr;
CommentSink* comment_sink = nullptr;
bool utility_running = false;

// Formats with a conversion spec that ParseConversion has checked.
template <typename Value>
std::string Printf(const std::string& spec, Value value) {
  const int size = std::snprintf(nullptr, 0, spec.c_str(), value);
  if (size <= 0) return {};
  std::string text(static_cast<std::size_t>(size) + 1, '\0');
  std::snprintf(text.data(), text.size(), spec.c_str(), value);
  text.resize(static_cast<std::size_t>(size));
  return text;
}

std::string FormatOne(const std::string& spec, const LogArg& arg) {
  const char conversion = spec.back();
  if (conversion == 's') {
    std::string text;
    if (const auto* s = std::get_if<std::string>(&arg.value())) {
      text = *s;
    } else if (const auto* n = std::get_if<std::int64_t>(&arg.value())) {
      text = std::to_string(*n);
    }
    if (spec == "%s") return text;
    return Printf(spec, text.c_str());
  }
  long long number = 0;
  if (const auto* n = std::get_if<std::int64_t>(&arg.value())) number = *n;
  // Rebuild the conversion with the "ll" length so any given length is honoured.
  std::string wide = spec;
  while (wide.size() > 1) {
    const char c = wide[wide.size() - 2];
    if (c != 'l' && c != 'h' && c != 'z' && c != 'j' && c != 't' && c != 'L' && c != 'q') break;
    wide.erase(wide.size() - 2, 1);
  }
  if (conversion == 'c') return Printf(wide, static_cast<int>(number));
  wide.insert(wide.size() - 1, "ll");
  return Printf(wide, number);
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Length of the conversion spec that starts with the '%' at `start`
// (flags, width, precision, length, conversion), or 0 when it is not one this
// formatter supports; such text is copied as it stands.
std::size_t ParseConversion(std::string_view format, std::size_t start, bool& uses_star) {
  std::size_t i = start + 1;
  const auto skip = [&](auto accept) {
    while (i < format.size() && accept(format[i])) ++i;
  };
  uses_star = false;
  skip([](char c) { return std::string_view("-+ #0").find(c) != std::string_view::npos; });
  const auto width = [&] {
    if (i < format.size() && format[i] == '*') {
      uses_star = true;
      ++i;
    }
    skip(IsDigit);
  };
  width();
  if (i < format.size() && format[i] == '.') {
    ++i;
    width();
  }
  skip([](char c) { return std::string_view("hlLqjzt").find(c) != std::string_view::npos; });
  if (i >= format.size() || std::string_view("sdiuxXc").find(format[i]) == std::string_view::npos) {
    return 0;
  }
  return i - start + 1;
}
}  // namespace

std::string FormatLogText(std::string_view format, const LogArg& a, const LogArg& b) {
  const LogArg* args[] = {&a, &b};
  std::size_t next_arg = 0;
  std::string out;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') {
      out += format[i];
      continue;
    }
    if (i + 1 < format.size() && format[i + 1] == '%') {
      out += '%';
      ++i;
      continue;
    }
    bool uses_star = false;
    const std::size_t length = ParseConversion(format, i, uses_star);
    if (length == 0) {
      out += '%';
      continue;
    }
    // A '*' would take its width from an argument the log line does not have.
    if (!uses_star && next_arg < 2) {
      out += FormatOne(std::string(format.substr(i, length)), *args[next_arg]);
    }
    ++next_arg;
    i += length - 1;
  }
  return out;
}

void InstallLogSink(LogSink* sink) {
  log_sink = sink;
}

void LogLine(std::string_view format, const LogArg& a, const LogArg& b) {
  if (!log_sink) return;
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[16];
  std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d ", local.tm_hour, local.tm_min, local.tm_sec);
  log_sink->AppendLogLine(std::string(stamp) + FormatLogText(format, a, b));
}

void InstallCommentSink(CommentSink* sink) {
  comment_sink = sink;
}

void AddCommentChar(int ch) {
  if (comment_sink) comment_sink->AppendCommentChar(ch);
}

std::string GetCommentText() {
  return comment_sink ? comment_sink->CommentText() : std::string();
}

void SetUtilityRunning(bool running) {
  utility_running = running;
}
bool IsUtilityRunning() {
  return utility_running;
}
