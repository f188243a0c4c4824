#include <algorithm>
#include <cstring>

#include "archive/safe_name.h"
#include "archive/zip_commands.h"
#include "platform/path.h"

namespace {
constexpr std::size_t kMaxMemberName = 259;
constexpr int kDosYearBase = 1980;
}  // namespace

std::string ZipDisplayName(const char* stored_name) {
  if (!stored_name) return {};
  std::string name(stored_name, strnlen(stored_name, kMaxMemberName));
  name = ToLower(name);
  std::replace(name.begin(), name.end(), '/', '\\');
  const auto separator = name.rfind('\\');
  return ReplaceControlBytes(separator == std::string::npos ? name : name.substr(separator + 1));
}

std::time_t ZipMemberTime(std::uint32_t dos_date, std::uint32_t dos_time) {
  std::tm when{};
  when.tm_year = static_cast<int>((dos_date >> 9) & 127) + kDosYearBase - 1900;
  when.tm_mon = static_cast<int>((dos_date >> 5) & 15) - 1;
  when.tm_mday = static_cast<int>(dos_date & 31);
  when.tm_hour = static_cast<int>((dos_time >> 11) & 31);
  when.tm_min = static_cast<int>((dos_time >> 5) & 63);
  when.tm_sec = static_cast<int>(dos_time & 31) * 2;
  when.tm_isdst = -1;
  return std::mktime(&when);
}
