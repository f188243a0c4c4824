#include "system/mime_defaults.h"

#include "platform/path.h"
#include "platform/private_profile.h"
#include "platform/system_folder.h"

namespace {
constexpr char kDefaultsGroup[] = "Default Applications";

bool WriteEntries(const XdgPlaces& places, const std::vector<ProfileEntry>& entries) {
  if (entries.empty()) return true;
  if (!EnsureDirectory(places.config_home)) return false;
  return WritePrivateProfileEntries(kDefaultsGroup, entries, places.MimeAppsList());
}
}  // namespace

std::optional<std::string> DefaultApplication(const XdgPlaces& places,
                                              const std::string& mime_type) {
  // A list value: "first.desktop;second.desktop;".
  std::string value = GetPrivateProfileString(kDefaultsGroup, mime_type, "", places.MimeAppsList());
  value = value.substr(0, value.find(';'));
  if (value.empty()) return std::nullopt;
  return value;
}

bool SetDefaultApplication(const XdgPlaces& places, const std::vector<std::string>& mime_types,
                           const std::string& desktop_id) {
  std::vector<ProfileEntry> entries;
  for (const std::string& type : mime_types) entries.push_back({type, desktop_id});
  return WriteEntries(places, entries);
}

bool RemoveDefaultApplication(const XdgPlaces& places, const std::vector<std::string>& mime_types,
                              const std::string& desktop_id) {
  std::vector<ProfileEntry> entries;
  for (const std::string& type : mime_types) {
    const std::optional<std::string> current = DefaultApplication(places, type);
    if (current && EqualsNoCase(*current, desktop_id)) entries.push_back({type, std::nullopt});
  }
  return WriteEntries(places, entries);
}
