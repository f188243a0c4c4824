#include "settings/three_d_controls.h"

#include <cstdio>
#include <string>

#include "platform/platform_info.h"
#include "platform/system_folder.h"

namespace {
constexpr int kLastPlatformWithoutThreeD = 3;
constexpr const char* kThreeDLibrary = "/ctl3d32.dll";
bool enabled = false;

bool LibraryReadable() {
  std::FILE* file = std::fopen((SystemDirectory() + kThreeDLibrary).c_str(), "rb");
  if (!file) return false;
  std::fclose(file);
  return true;
}
}  // namespace

void ApplyThreeDControls(bool wanted) {
  if (PlatformMajorVersion() > kLastPlatformWithoutThreeD) return;
  if (wanted && !enabled) {
    enabled = LibraryReadable();
  } else if (!wanted && enabled) {
    enabled = false;
  }
}

bool ThreeDControlsEnabled() {
  return enabled;
}
