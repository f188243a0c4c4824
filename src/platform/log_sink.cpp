#include "platform/log_sink.h"

#include <cstdio>
#include <ctime>

namespace {
LogSink* log_sink = nullptr;
CommentSink* comment_sink = nullptr;
bool utility_running = false;

std::string FormatOne(const std::string& spec, const LogArg& arg) {
  const char conversion = spec.back();
  char buffer[512];
  if (conversion == 's') {
    std::string text;
    if (const auto* s = std::get_if<std::string>(&arg.value())) {
      text = *s;
    } else if (const auto* n = std::get_if<std::int64_t>(&arg.value())) {
      text = std::to_string(*n);
    }
    // Widths and precisions apply; the text itself may be longer than the buffer.
    if (spec == "%s") return text;
    std::snprintf(buffer, sizeof buffer, spec.c_str(), text.c_str());
    return buffer;
  }
  long long number = 0;
  if (const auto* n = std::get_if<std::int64_t>(&arg.value())) number = *n;
  // Rebuild the conversion with the "ll" length so any given length is honoured.
  std::string wide = spec;
  while (wide.size() > 1) {
    const char c = wide[wide.size() - 2];
    if (c != 'l' && c != 'h' && c != 'z' && c != 'j' && c != 't') break;
    wide.erase(wide.size() - 2, 1);
  }
  if (conversion == 'c') {
    wide.back() = 'c';
    std::snprintf(buffer, sizeof buffer, wide.c_str(), static_cast<int>(number));
  } else {
    wide.insert(wide.size() - 1, "ll");
    std::snprintf(buffer, sizeof buffer, wide.c_str(), number);
  }
  return buffer;
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
    const auto end = format.find_first_of("sdiuxXc", i + 1);
    if (end == std::string_view::npos) {
      out += format.substr(i);
      break;
    }
    const std::string spec(format.substr(i, end - i + 1));
    if (spec.find('*') == std::string::npos && next_arg < 2) {
      out += FormatOne(spec, *args[next_arg]);
    }
    ++next_arg;
    i = end;
  }
  return out;
}

void InstallLogSink(LogSink* sink) { log_sink = sink; }

void LogLine(std::string_view format, const LogArg& a, const LogArg& b) {
  if (!log_sink) return;
  const std::time_t now = std::time(nullptr);
  std::tm local {};
  localtime_r(&now, &local);
  char stamp[16];
  std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d ", local.tm_hour, local.tm_min,
                local.tm_sec);
  log_sink->AppendLogLine(std::string(stamp) + FormatLogText(format, a, b));
}

void InstallCommentSink(CommentSink* sink) { comment_sink = sink; }

void AddCommentChar(int ch) {
  if (comment_sink) comment_sink->AppendCommentChar(ch);
}

void SetUtilityRunning(bool running) { utility_running = running; }
bool IsUtilityRunning() { return utility_running; }
