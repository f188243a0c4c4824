#include "platform/screen_saver_start.h"

#include <utility>

namespace {
ScreenSaverStarter& Starter() {
  static ScreenSaverStarter starter;
  return starter;
}
}  // namespace

void InstallScreenSaverStarter(ScreenSaverStarter starter) {
  Starter() = std::move(starter);
}

bool StartInstalledScreenSaver() {
  return Starter() && Starter()();
}
