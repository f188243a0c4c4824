#include "desktop_sandbox.h"

#include <cstdlib>

#include "platform/system_folder.h"

namespace {
// "hh:mm:ss " before every line.
constexpr std::size_t kTimePrefix = 9;
}  // namespace

TDesktopSandbox::TDesktopSandbox() {
  SetVariable("HOME", dir_.File("home"));
  SetVariable("XDG_CONFIG_HOME", dir_.File("config"));
  SetVariable("XDG_DATA_HOME", dir_.File("data"));
  SetVariable("XDG_DATA_DIRS", std::string("/usr/local/share:/usr/share"));
  SetVariable("ZENTROPE_WINDIR", WindowsDirectory());
  SetVariable("GSETTINGS_BACKEND", std::string("keyfile"));
  SetVariable("XDG_CURRENT_DESKTOP", std::nullopt);
  EnsureDirectory(dir_.File("home"));
  EnsureDirectory(WindowsDirectory());
  InstallLogSink(this);
}

TDesktopSandbox::~TDesktopSandbox() {
  InstallLogSink(nullptr);
  for (const auto& [name, value] : saved_) {
    if (value) {
      setenv(name.c_str(), value->c_str(), 1);
    } else {
      unsetenv(name.c_str());
    }
  }
}

void TDesktopSandbox::AppendLogLine(std::string_view line) {
  log.emplace_back(line.size() >= kTimePrefix ? line.substr(kTimePrefix) : line);
}

std::string TDesktopSandbox::MimeAppsText() const {
  return ReadFileText(Places().MimeAppsList());
}

void TDesktopSandbox::SetVariable(const char* name, std::optional<std::string> value) {
  if (!saved_.contains(name)) {
    const char* old = std::getenv(name);
    saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
  }
  if (value) {
    setenv(name, value->c_str(), 1);
  } else {
    unsetenv(name);
  }
}

void WriteOtherApplication(const XdgPlaces& places, const std::string& desktop_id) {
  EnsureDirectory(places.Applications());
  WriteFileText(places.Applications() + "/" + desktop_id,
                "[Desktop Entry]\nType=Application\nName=Other\nExec=/bin/true %F\n");
}
