// Zip archives built byte by byte and a log that tests can read back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/log_sink.h"
#include "zip_directory_builder.h"

using Bytes = std::vector<unsigned char>;

struct ZipEntry {
  std::string name;
  Bytes data;
  std::uint16_t method = 8;  // 0 stored, 8 deflated, anything else kept as is
  std::uint16_t flags = 0;
  std::uint16_t dos_date = (21 << 9) | (3 << 5) | 5;  // 2001-03-05
  std::uint16_t dos_time = (14 << 11) | (7 << 5);     // 14:07
  bool corrupt_crc = false;
};

// Local headers and data only, the way the stream walks them.
Bytes BuildZip(const std::vector<ZipEntry>& entries);
Bytes PatternBytes(std::size_t size, std::uint32_t seed);

// Collects log lines without their time stamps while installed.
class LogCapture : public LogSink {
 public:
  LogCapture() { InstallLogSink(this); }
  ~LogCapture() override { InstallLogSink(nullptr); }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;
  void AppendLogLine(std::string_view line) override;
  std::vector<std::string> lines;
  bool Contains(const std::string& text) const;
};
