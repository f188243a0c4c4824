#include "settings/first_start.h"

#include "platform/private_profile.h"
#include "platform/system_folder.h"

namespace {
constexpr const char* kRecordFileName = "/firststart.ini";
constexpr const char* kRecordSection = "Zentrope";
constexpr const char* kRecordKey = "Started";
constexpr const char* kRecordValue = "1";
}  // namespace

std::string FirstStartRecordFile() {
  return WindowsDirectory() + kRecordFileName;
}

bool IsFirstStart() {
  return GetPrivateProfileString(kRecordSection, kRecordKey, "", FirstStartRecordFile()).empty();
}

bool RecordFirstStart() {
  if (!EnsureDirectory(WindowsDirectory())) return false;
  return WritePrivateProfileString(kRecordSection, kRecordKey, kRecordValue,
                                   FirstStartRecordFile());
}
