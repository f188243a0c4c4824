#include "system/wallpaper.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/log_sink.h"
#include "platform/path.h"
#include "platform/private_profile.h"
#include "system/external_tool.h"
#include "system/system_messages.h"

namespace {
constexpr char kDefaultName[] = "zentrp32";
constexpr char kBitmapExtension[] = ".bmp";
constexpr char kDesktopSection[] = "desktop";
constexpr char kTileKey[] = "TileWallpaper";
constexpr char kWallpaperKey[] = "Wallpaper";
constexpr char kProfileName[] = "win.ini";

constexpr char kGsettings[] = "gsettings";
constexpr char kXfconf[] = "xfconf-query";
constexpr char kPlasma[] = "plasma-apply-wallpaperimage";
constexpr char kFeh[] = "feh";
constexpr char kXfceChannel[] = "xfce4-desktop";
constexpr char kXfceFirstImage[] = "/backdrop/screen0/monitor0/workspace0/last-image";
constexpr std::string_view kXfceImageSuffix = "/last-image";

bool ListNames(std::string_view list, std::string_view wanted) {
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t colon = list.find(':', start);
    if (colon == std::string_view::npos) colon = list.size();
    if (EqualsNoCase(list.substr(start, colon - start), wanted)) return true;
    start = colon + 1;
  }
  return false;
}

const char* ToolOf(WallpaperSetter setter) {
  switch (setter) {
    case WallpaperSetter::kGnome:
    case WallpaperSetter::kMate:
      return kGsettings;
    case WallpaperSetter::kXfce:
      return kXfconf;
    case WallpaperSetter::kKde:
      return kPlasma;
    case WallpaperSetter::kFeh:
      return kFeh;
    case WallpaperSetter::kNone:
      break;
  }
  return "";
}

bool SetWithGsettings(const char* schema, const char* key, const std::string& value) {
  return RunTool({kGsettings, "set", schema, key, value}) == 0;
}

bool SetGnome(const std::string& path) {
  constexpr char kSchema[] = "org.gnome.desktop.background";
  const std::string uri = FileUri(path);
  if (!SetWithGsettings(kSchema, "picture-uri", uri)) return false;
  // Older schemas have no dark variant; the light one is what counts.
  SetWithGsettings(kSchema, "picture-uri-dark", uri);
  return SetWithGsettings(kSchema, "picture-options", "centered");
}

bool SetMate(const std::string& path) {
  constexpr char kSchema[] = "org.mate.background";
  return SetWithGsettings(kSchema, "picture-filename", path) &&
         SetWithGsettings(kSchema, "picture-options", "centered");
}

bool SetXfce(const std::string& path) {
  int status = -1;
  const std::string listing = ToolOutput({kXfconf, "-c", kXfceChannel, "-l"}, &status);
  std::vector<std::string> properties;
  std::size_t start = 0;
  while (status == 0 && start < listing.size()) {
    std::size_t end = listing.find('\n', start);
    if (end == std::string::npos) end = listing.size();
    const std::string_view line = std::string_view(listing).substr(start, end - start);
    if (line.ends_with(kXfceImageSuffix)) properties.emplace_back(line);
    start = end + 1;
  }
  if (properties.empty()) {
    return RunTool({kXfconf, "-c", kXfceChannel, "-p", kXfceFirstImage, "-n", "-t", "string", "-s",
                    path}) == 0;
  }
  bool all_set = true;
  for (const std::string& property : properties) {
    all_set = RunTool({kXfconf, "-c", kXfceChannel, "-p", property, "-s", path}) == 0 && all_set;
  }
  return all_set;
}

bool SetDesktopWallpaper(WallpaperSetter setter, const std::string& path) {
  switch (setter) {
    case WallpaperSetter::kGnome:
      return SetGnome(path);
    case WallpaperSetter::kMate:
      return SetMate(path);
    case WallpaperSetter::kXfce:
      return SetXfce(path);
    case WallpaperSetter::kKde:
      return RunTool({kPlasma, path}) == 0;
    case WallpaperSetter::kFeh:
      return RunTool({kFeh, "--bg-center", path}) == 0;
    case WallpaperSetter::kNone:
      break;
  }
  return false;
}
}  // namespace

std::string WallpaperPath(std::string_view answer, const std::string& windows_directory) {
  // A name typed with either kind of separator loses its folder.
  const std::size_t separator = answer.find_last_of("/\\");
  if (separator != std::string_view::npos) answer.remove_prefix(separator + 1);
  std::string name = SplitPath(answer).name;
  if (name.empty()) name = kDefaultName;
  return windows_directory + "/" + name + kBitmapExtension;
}

WallpaperSetter ChooseWallpaperSetter(std::string_view current_desktop) {
  WallpaperSetter setter = WallpaperSetter::kNone;
  if (ListNames(current_desktop, "GNOME") || ListNames(current_desktop, "Unity") ||
      ListNames(current_desktop, "Budgie") || ListNames(current_desktop, "ubuntu")) {
    setter = WallpaperSetter::kGnome;
  } else if (ListNames(current_desktop, "MATE")) {
    setter = WallpaperSetter::kMate;
  } else if (ListNames(current_desktop, "XFCE")) {
    setter = WallpaperSetter::kXfce;
  } else if (ListNames(current_desktop, "KDE")) {
    setter = WallpaperSetter::kKde;
  }
  if (setter != WallpaperSetter::kNone && !FindTool(ToolOf(setter)).empty()) return setter;
  return FindTool(kFeh).empty() ? WallpaperSetter::kNone : WallpaperSetter::kFeh;
}

std::string FileUri(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri = "file://";
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    const bool unreserved = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                            (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_' ||
                            c == '~' || c == '/';
    if (unreserved) {
      uri += c;
    } else {
      uri += '%';
      uri += kHex[byte >> 4];
      uri += kHex[byte & 0x0F];
    }
  }
  return uri;
}

bool ApplyWallpaper(const std::string& path, const std::string& windows_directory) {
  const std::string profile = windows_directory + "/" + kProfileName;
  const PathParts parts = SplitPath(path);
  const std::string file_name = parts.name + parts.extension;
  const bool profiled = WritePrivateProfileEntries(
      kDesktopSection, {{kTileKey, "0"}, {kWallpaperKey, file_name}}, profile);
  if (!profiled) LogLine(kProfileFailedLog, profile);
  const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
  const WallpaperSetter setter = ChooseWallpaperSetter(desktop ? desktop : "");
  if (setter == WallpaperSetter::kNone) {
    LogLine(kNoWallpaperToolLog, path);
    return false;
  }
  if (!SetDesktopWallpaper(setter, path)) {
    LogLine(kToolFailedLog, ToolOf(setter));
    return false;
  }
  return profiled;
}
