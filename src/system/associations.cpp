#include "system/associations.h"

#include <optional>
#include <string>

#include "platform/log_sink.h"
#include "platform/path.h"
#include "system/system_messages.h"

namespace {
constexpr char kProgramClass[] = "Zentrope";
// Room for a class name read back, with its terminating zero.
constexpr std::size_t kClassValueBuffer = 388;

std::string SavedKey(std::string_view extension) {
  return std::string(kSaveKey) + "\\" + std::string(extension);
}

bool IsProgramClass(const std::optional<std::string>& value) {
  return value && EqualsNoCase(*value, kProgramClass);
}
}  // namespace

bool IsAssociableExtension(std::string_view extension) {
  if (extension.size() < 2 || extension.front() != '.') return false;
  for (const char c : extension.substr(1)) {
    if (static_cast<unsigned char>(c) <= ' ' || c == 0x7F || c == '\\' || c == '/' || c == '[' ||
        c == ']') {
      return false;
    }
  }
  return true;
}

bool AssociateExtension(TClassesRoot& classes, std::string_view extension) {
  if (!IsAssociableExtension(extension)) {
    LogLine(kAssociateFailedLog, extension);
    return false;
  }
  const std::optional<std::string> previous = classes.QueryValue(extension, kClassValueBuffer);
  if (previous && !IsProgramClass(previous)) {
    if (!classes.SetValue(SavedKey(extension), *previous)) {
      LogLine(kAssociateFailedLog, extension);
      return false;
    }
    LogLine(kSavedAssociationLog, extension, *previous);
  }
  if (!classes.SetValue(extension, kProgramClass)) {
    LogLine(kAssociateFailedLog, extension);
    return false;
  }
  LogLine(kAssociatedLog, extension);
  return true;
}

bool DisassociateExtension(TClassesRoot& classes, std::string_view extension) {
  if (!IsAssociableExtension(extension)) {
    LogLine(kDisassociateFailedLog, extension);
    return false;
  }
  const std::string saved_key = SavedKey(extension);
  const std::optional<std::string> saved = classes.QueryValue(saved_key, kClassValueBuffer);
  bool restored = true;
  if (saved) {
    if (classes.SetValue(extension, *saved)) {
      classes.DeleteKey(saved_key);
      LogLine(kRestoredAssociationLog, extension, *saved);
    } else {
      restored = false;
    }
  }
  if (!IsProgramClass(classes.QueryValue(extension, kClassValueBuffer))) return restored;
  if (!classes.DeleteKey(extension)) {
    LogLine(kDisassociateFailedLog, extension);
    return false;
  }
  LogLine(kDisassociatedLog, extension);
  return restored;
}
