#include "system/classes_root.h"

#include <algorithm>
#include <vector>

#include "platform/path.h"
#include "system/desktop_entry.h"
#include "system/mime_defaults.h"
#include "system/mime_types.h"
#include "system/text_file.h"

namespace {
constexpr char kProgramClass[] = "Zentrope";
constexpr std::string_view kDesktopSuffix = ".desktop";

bool IsExtensionKey(std::string_view key) {
  return key.size() > 1 && key.front() == '.' && key.find('\\') == std::string_view::npos;
}

// `key` is `inner`, lies above it or below it: changing it may change `inner`.
bool Touches(std::string_view key, std::string_view inner) {
  const std::size_t common = std::min(key.size(), inner.size());
  if (!EqualsNoCase(key.substr(0, common), inner.substr(0, common))) return false;
  const std::string_view longer = key.size() > inner.size() ? key : inner;
  return key.size() == inner.size() || longer[common] == '\\';
}

std::string ClassOfDesktopId(const std::string& desktop_id) {
  return EqualsNoCase(desktop_id, kProgramDesktopId) ? std::string(kProgramClass) : desktop_id;
}

std::optional<std::string> Fitting(std::optional<std::string> value, std::size_t buffer_size) {
  if (value && buffer_size > 0 && value->size() + 1 > buffer_size) return std::nullopt;
  return value;
}
}  // namespace

std::optional<std::string> DesktopIdOfClass(std::string_view class_name) {
  if (EqualsNoCase(class_name, kProgramClass)) return std::string(kProgramDesktopId);
  if (class_name.size() > kDesktopSuffix.size() && class_name.ends_with(kDesktopSuffix) &&
      class_name.find('/') == std::string_view::npos) {
    return std::string(class_name);
  }
  return std::nullopt;
}

std::optional<std::string> TClassesRoot::QueryValue(std::string_view key,
                                                    std::size_t buffer_size) const {
  std::optional<std::string> stored = store_.QueryValue(key);
  if (!IsExtensionKey(key)) return Fitting(stored, buffer_size);
  const std::vector<std::string> types = MimeTypesOf(key, places_);
  if (types.empty()) return Fitting(stored, buffer_size);
  const std::optional<std::string> chosen = DefaultApplication(places_, types.front());
  if (!chosen) return Fitting(stored, buffer_size);
  if (stored) {
    const std::optional<std::string> mirrored = DesktopIdOfClass(*stored);
    if (!mirrored || EqualsNoCase(*mirrored, *chosen)) return Fitting(stored, buffer_size);
  }
  return Fitting(ClassOfDesktopId(*chosen), buffer_size);
}

bool TClassesRoot::SetValue(std::string_view key, std::string_view value) {
  const std::optional<std::string> previous = store_.QueryValue(key);
  if (!store_.SetValue(key, {}, value)) return false;
  bool mirrored = true;
  if (IsExtensionKey(key)) {
    // A type of the program's own making is declared before it becomes a default.
    mirrored = (!HasDeclaredType(key) || RefreshDesktopFiles()) && MirrorExtension(key, value);
  } else if (Touches(key, kOpenCommandKey) || Touches(key, kPrintCommandKey)) {
    mirrored = RefreshDesktopFiles();
  }
  if (mirrored) return true;
  Restore(key, previous);
  if (!IsExtensionKey(key) || HasDeclaredType(key)) RefreshDesktopFiles();
  return false;
}

bool TClassesRoot::DeleteKey(std::string_view key) {
  // The desktop first: a store that still names Zentrope lets a second
  // removal finish the job.
  if (IsExtensionKey(key) && !UnmirrorExtension(key)) return false;
  if (!store_.DeleteKey(key)) return false;
  if (IsExtensionKey(key)) return !HasDeclaredType(key) || RefreshDesktopFiles();
  if (Touches(key, kOpenCommandKey) || Touches(key, kPrintCommandKey)) return RefreshDesktopFiles();
  return true;
}

bool TClassesRoot::MirrorExtension(std::string_view extension, std::string_view value) {
  const std::vector<std::string> types = MimeTypesOf(extension, places_);
  if (types.empty()) return true;
  if (const std::optional<std::string> desktop_id = DesktopIdOfClass(value)) {
    return SetDefaultApplication(places_, types, *desktop_id);
  }
  return RemoveDefaultApplication(places_, types, kProgramDesktopId);
}

bool TClassesRoot::UnmirrorExtension(std::string_view extension) {
  const std::vector<std::string> types = MimeTypesOf(extension, places_);
  return types.empty() || RemoveDefaultApplication(places_, types, kProgramDesktopId);
}

bool TClassesRoot::HasDeclaredType(std::string_view extension) const {
  const std::optional<std::string> declared = DeclaredMimeTypeOf(extension);
  const std::vector<std::string> types = MimeTypesOf(extension, places_);
  return declared && types.size() == 1 && types.front() == *declared;
}

std::vector<std::string> TClassesRoot::DeclaredExtensions() const {
  std::vector<std::string> extensions;
  for (const std::string& key : store_.TopLevelKeys()) {
    if (!IsExtensionKey(key) || !HasDeclaredType(key)) continue;
    const std::optional<std::string> value = store_.QueryValue(key);
    if (!value || !EqualsNoCase(*value, kProgramClass)) continue;
    const std::string extension = ToLower(key);
    if (std::find(extensions.begin(), extensions.end(), extension) == extensions.end()) {
      extensions.push_back(extension);
    }
  }
  return extensions;
}

bool TClassesRoot::RefreshDesktopFiles() {
  const std::vector<std::string> declared = DeclaredExtensions();
  std::vector<std::string> declared_types;
  for (const std::string& extension : declared) {
    declared_types.push_back(*DeclaredMimeTypeOf(extension));
  }
  const std::string entry = ProgramEntryPath(places_);
  const std::optional<std::string> open = store_.QueryValue(kOpenCommandKey);
  const std::string package =
      open || !declared.empty() ? MimePackageText(open.has_value(), declared) : std::string();
  if (!open) return RemoveFileIfPresent(entry) && UpdateMimePackage(places_, package);
  const std::optional<std::string> print = store_.QueryValue(kPrintCommandKey);
  const std::optional<std::string> text = ProgramEntryText(
      *open, print ? std::optional<std::string_view>(*print) : std::nullopt, declared_types);
  if (!text || !WriteTextFileAtomically(entry, *text)) return false;
  return UpdateMimePackage(places_, package);
}

bool TClassesRoot::Restore(std::string_view key, const std::optional<std::string>& previous) {
  return previous ? store_.SetValue(key, {}, *previous) : store_.DeleteKey(key);
}
