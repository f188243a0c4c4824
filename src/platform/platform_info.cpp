#include "platform/platform_info.h"

namespace {
int major_version = 4;
int display_bits = 24;
}  // namespace

int PlatformMajorVersion() {
  return major_version;
}
void SetPlatformMajorVersion(int major) {
  major_version = major;
}

int DisplayBitsPerPixel() {
  return display_bits;
}
void SetDisplayBitsPerPixel(int bits) {
  display_bits = bits;
}
