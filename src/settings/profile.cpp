#include "settings/profile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/path.h"
#include "platform/platform_info.h"
#include "platform/private_profile.h"
#include "platform/system_folder.h"
#include "settings/decimal.h"
#include "settings/first_start.h"
#include "settings/run_mode.h"
#include "settings/three_d_controls.h"

namespace {

constexpr const char* kSettingsExtension = ".ini";
constexpr const char* kSaverOptionsBase = "zentsv32";
// Used when the program was not given its own name (tests, embedding).
constexpr const char* kFallbackBase = "zentrope";
constexpr const char* kDirectoryKey = "Directory";
constexpr const char* kCurrentImageKey = "CurrentImage";
// JPEG two-pass quantization pays off on displays of up to 8 bits per pixel.
constexpr int kMaxPaletteDisplayBits = 8;
constexpr int kLastLowerCasingPlatform = 3;

constexpr std::array<StringKey, 6> kDirectoryStrings = {
    StringKey::CopyImageTo, StringKey::CopySoundTo, StringKey::CopyMovieTo,
    StringKey::MoveImageTo, StringKey::MoveSoundTo, StringKey::MoveMovieTo,
};

const std::array<std::string, kStringKeyCount>& BuiltInDefaults() {
  static const auto defaults = [] {
    std::array<std::string, kStringKeyCount> texts;
    for (int i = 0; i < kStringKeyCount; ++i)
      texts[i] = std::string(StringKeyTable()[i].built_in_default);
    return texts;
  }();
  return defaults;
}

int Clamp(int value, const IntKeyInfo& info) {
  return std::clamp(value, info.minimum, info.maximum);
}

bool LowerCasesNames() {
  return PlatformMajorVersion() <= kLastLowerCasingPlatform;
}

std::string CurrentDirectory() {
  std::vector<char> buffer(4096);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE || buffer.size() > (1u << 20)) return {};
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string ProgramBaseName() {
  std::string base = SplitPath(ProgramPath()).name;
  if (base.empty()) base = kFallbackBase;
  return LowerCasesNames() ? ToLower(base) : base;
}

std::string ParentDirectory(const std::string& file) {
  std::string directory = SplitPath(file).directory;
  while (directory.size() > 1 && directory.back() == '/') directory.pop_back();
  return directory;
}

}  // namespace

TProfile::TProfile() {
  const bool viewer = CurrentRunMode() == RunMode::Viewer;
  for (int i = 0; i < kIntKeyCount; ++i) {
    const IntKeyInfo& info = IntKeyTable()[i];
    ints_[i] = viewer ? info.viewer_default : info.saver_default;
  }
  Set(IntKey::JPEGTwoPass, DisplayBitsPerPixel() <= kMaxPaletteDisplayBits ? 1 : 0);
  default_ints_ = ints_;
  ChooseFileAndSection();
  Restore();
  if (CurrentRunMode() <= RunMode::SaverSetup)
    ApplyThreeDControls(Get(IntKey::Enable3dControls) != 0);
  snapshot_held_ = false;

  // Recorded before the reset: where the record cannot be kept, every start
  // would otherwise look like the first and wipe the user's settings.
  if (IsFirstStart() && RecordFirstStart()) {
    first_start_ = true;
    Defaults();
    Save();
  }
}

// The viewer and the saver each keep "<base>.ini" named after their own
// executable: in the current directory when one is there, else in the system
// folder. The viewer edits the saver's options in the system folder's file.
void TProfile::ChooseFileAndSection() {
  if (CurrentRunMode() == RunMode::SaverOptions) {
    section_ = kSaverOptionsBase;
    file_ = WindowsDirectory() + "/" + kSaverOptionsBase + kSettingsExtension;
    return;
  }
  section_ = ProgramBaseName();
  const std::string local = CurrentDirectory() + "/" + section_ + kSettingsExtension;
  file_ = IsRegularFile(local) ? local : WindowsDirectory() + "/" + section_ + kSettingsExtension;
}

const std::string& TProfile::BuiltInDefault(StringKey key) {
  return BuiltInDefaults()[static_cast<int>(key)];
}

const std::string& TProfile::Get(StringKey key) const {
  const auto& owned = owned_strings_[static_cast<int>(key)];
  return owned ? *owned : BuiltInDefault(key);
}

void TProfile::Set(StringKey key, std::string_view text) {
  auto& owned = owned_strings_[static_cast<int>(key)];
  if (text == BuiltInDefault(key)) {
    owned.reset();
  } else {
    owned = std::string(text);
  }
}

bool TProfile::HasOwnedCopy(StringKey key) const {
  return owned_strings_[static_cast<int>(key)].has_value();
}

void TProfile::Restore() {
  // One pass over the file for all keys: hand-edited files may be huge.
  std::array<std::string_view, kIntKeyCount + kStringKeyCount> names;
  for (int i = 0; i < kIntKeyCount; ++i) names[i] = IntKeyTable()[i].name;
  for (int i = 0; i < kStringKeyCount; ++i) names[kIntKeyCount + i] = StringKeyTable()[i].name;
  std::vector<std::optional<std::string>> stored = GetPrivateProfileStrings(section_, names, file_);

  for (int i = 0; i < kIntKeyCount; ++i) {
    const IntKeyInfo& info = IntKeyTable()[i];
    if (stored[i]) ints_[i] = ParseDecimalInt(*stored[i]).value_or(ints_[i]);
    ints_[i] = Clamp(ints_[i], info);
  }
  for (int i = 0; i < kStringKeyCount; ++i) {
    auto& owned = owned_strings_[i];
    std::optional<std::string>& text = stored[kIntKeyCount + i];
    if (text && *text != BuiltInDefault(static_cast<StringKey>(i))) {
      owned = std::move(text);
    } else {
      owned.reset();
    }
  }
}

bool TProfile::Save() {
  std::vector<ProfileEntry> entries;
  entries.reserve(kIntKeyCount + kStringKeyCount);
  for (int i = 0; i < kIntKeyCount; ++i) {
    const IntKeyInfo& info = IntKeyTable()[i];
    ints_[i] = Clamp(ints_[i], info);
    ProfileEntry entry{std::string(info.name), std::nullopt};
    if (ints_[i] != default_ints_[i]) entry.value = std::to_string(ints_[i]);
    entries.push_back(std::move(entry));
  }
  for (int i = 0; i < kStringKeyCount; ++i) {
    const auto key = static_cast<StringKey>(i);
    ProfileEntry entry{std::string(StringKeyTable()[i].name), std::nullopt};
    // Unlike reading and setting, saving ignores case: a value that differs from
    // the default only in case is not worth a line in the file.
    if (!EqualsNoCase(Get(key), BuiltInDefault(key))) entry.value = Get(key);
    entries.push_back(std::move(entry));
  }
  EnsureDirectory(ParentDirectory(file_));
  return WritePrivateProfileEntries(section_, entries, file_);
}

void TProfile::Defaults() {
  for (auto& owned : owned_strings_) owned.reset();
  ints_ = default_ints_;
}

bool TProfile::SetIntByName(std::string_view name, int value) {
  for (int i = 0; i < kIntKeyCount; ++i) {
    const IntKeyInfo& info = IntKeyTable()[i];
    if (!StartsWithNoCase(info.name, name)) continue;
    ints_[i] = Clamp(value, info);
    return true;
  }
  return false;
}

bool TProfile::SetStringByName(std::string_view name, std::string_view text) {
  for (int i = 0; i < kStringKeyCount; ++i) {
    if (!StartsWithNoCase(StringKeyTable()[i].name, name)) continue;
    Set(static_cast<StringKey>(i), text);
    return true;
  }
  return false;
}

bool TProfile::WriteKey(const char* key, const std::string& value) {
  EnsureDirectory(ParentDirectory(file_));
  return WritePrivateProfileString(section_, key, value.c_str(), file_);
}

bool TProfile::WriteInt(IntKey key) {
  const int index = static_cast<int>(key);
  const IntKeyInfo& info = IntKeyTable()[index];
  ints_[index] = Clamp(ints_[index], info);
  const std::string name(info.name);
  const std::string text = ints_[index] == default_ints_[index] ? "" : std::to_string(ints_[index]);
  return WriteKey(name.c_str(), text);
}

bool TProfile::SaveDirectories() {
  std::string directory = CurrentDirectory();
  if (LowerCasesNames()) directory = ToLower(directory);
  std::vector<ProfileEntry> entries;
  if (!directory.empty()) entries.push_back({kDirectoryKey, directory});
  for (StringKey key : kDirectoryStrings) {
    entries.push_back({std::string(StringKeyTable()[static_cast<int>(key)].name), Get(key)});
  }
  EnsureDirectory(ParentDirectory(file_));
  return WritePrivateProfileEntries(section_, entries, file_);
}

bool TProfile::WriteCurrentImage(std::string_view name) {
  return WriteKey(kCurrentImageKey, std::string(name));
}

std::string TProfile::ReadCurrentImage() const {
  return GetPrivateProfileString(section_, kCurrentImageKey, "", file_);
}

// Linux has no drive letters, so the stored folder is simply made current.
bool TProfile::RestoreDirectory() const {
  const std::string directory = GetPrivateProfileString(section_, kDirectoryKey, "", file_);
  return !directory.empty() && chdir(directory.c_str()) == 0;
}

void TProfile::HoldSnapshot() {
  snapshot_ = ints_;
  snapshot_held_ = true;
}

void TProfile::ReleaseSnapshot() {
  if (!snapshot_held_) return;
  ints_ = snapshot_;
  snapshot_held_ = false;
}
