#include <cstdio>

#include "archive/archive_messages.h"
#include "archive/input_stream.h"
#include "archive/zip_commands.h"
#include "archive/zip_walk.h"
#include "platform/log_sink.h"
#include "platform/long_operation.h"

namespace {
constexpr int kDosYearBase = 80;

void LogMemberLine(const ZipMemberInfo& info) {
  const int month = static_cast<int>((info.date >> 5) & 15);
  const int day = static_cast<int>(info.date & 31);
  const int year = (static_cast<int>((info.date >> 9) & 127) + kDosYearBase) % 100;
  const int hour = static_cast<int>((info.time >> 11) & 31);
  const int minute = static_cast<int>((info.time >> 5) & 63);
  char line[512];
  std::snprintf(line, sizeof line, kLogZipMemberFormat, static_cast<long>(info.size), month, day,
                year, hour, minute, ZipDisplayName(info.name).c_str());
  LogLine("%s", line);
}
}  // namespace

void ListZipArchive(const std::string& path) {
  UtilityScope utility;
  if (!utility.entered()) return;
  InputStream* stream = stream_open(path.c_str(), "rb");
  if (!stream) {
    LogLine(kLogUnableToOpen, path);
    return;
  }
  LogLine(kLogZipInfoFor, path);
  LogLine("");
  bool any_member = false;
  bool any_obsolete = false;
  ZipMemberInfo info{};
  while (stream_member_info(stream, &info) == 0) {
    if (!any_member) {
      LogLine(kLogZipColumns);
      LogLine(kLogZipRule);
    }
    any_member = true;
    LogMemberLine(info);
    if (!IsExtractableMethod(info.method)) any_obsolete = true;
    stream_next_member(stream);
  }
  LogZipWalkEnd(any_member, any_obsolete);
  stream_close(stream);
}

void RunZipInfo(const std::vector<std::string>& paths) {
  ShowProgress(50);
  for (const std::string& path : paths) ListZipArchive(path);
  EndProgress();
}
