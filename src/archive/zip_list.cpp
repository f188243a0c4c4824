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

bool ListZipArchive(const std::string& path) {
  UtilityScope utility;
  if (!utility.entered()) return false;
  InputStream* stream = stream_open(path.c_str(), "rb");
  if (!stream) {
    LogLine(kLogUnableToOpen, path);
    return false;
  }
  LogLine(kLogZipInfoFor, path);
  LogLine("");
  bool any_member = false;
  bool any_obsolete = false;
  bool damaged = false;
  ZipMemberInfo info{};
  while (stream_member_info(stream, &info) == 0) {
    if (HasDeferredSizes(info)) {
      damaged = true;
      break;
    }
    if (!any_member) {
      LogLine(kLogZipColumns);
      LogLine(kLogZipRule);
    }
    any_member = true;
    LogMemberLine(info);
    if (!IsExtractableMethod(info.method)) any_obsolete = true;
    stream_next_member(stream);
  }
  if (any_member && !damaged) damaged = !WalkReachedArchiveEnd(stream);
  if (damaged) LogLine(kLogZipDamaged, path);
  LogZipWalkEnd(any_member || damaged, any_obsolete);
  stream_close(stream);
  return any_member && !damaged;
}

bool RunZipInfo(const std::vector<std::string>& paths) {
  ShowProgress(50);
  bool all_listed = true;
  for (const std::string& path : paths) all_listed = ListZipArchive(path) && all_listed;
  EndProgress();
  return all_listed;
}
