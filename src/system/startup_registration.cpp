#include "system/startup_registration.h"

namespace {
// Room for the value read back, with its terminating zero.
constexpr std::size_t kClassValueBuffer = 260;
}  // namespace

bool RegisterProgramClass(TRegistryStore& registry) {
  const std::optional<std::string> value =
      registry.QueryValue(kProgramClassKey, {}, kClassValueBuffer);
  if (value && *value == kProgramClassName) return true;
  return registry.SetValue(kProgramClassKey, {}, kProgramClassName);
}

bool CheckRegistryAtStart(DialogService& dialogs, TRegistryStore& registry) {
  if (RegisterProgramClass(registry)) return true;
  MessageBox(dialogs, kNoWindow, kRegistryCorruptText, kRegistryCorruptCaption);
  return false;
}
