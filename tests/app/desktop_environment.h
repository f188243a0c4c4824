// The user's desktop folders (HOME, XDG, the system folder) and the tools on
// PATH moved into a test's temporary folder until the test ends.
#pragma once

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include "platform/system_folder.h"

class TDesktopEnvironment {
 public:
  explicit TDesktopEnvironment(const std::string& root) : root_(root) {
    Set("HOME", root + "/home");
    Set("XDG_CONFIG_HOME", root + "/config");
    Set("XDG_DATA_HOME", root + "/data");
    Set("ZENTROPE_WINDIR", root + "/windir");
    Set("GSETTINGS_BACKEND", std::string("keyfile"));
    Set("XDG_CURRENT_DESKTOP", std::nullopt);
    // Only the test's own stand-in tools (none unless it adds them).
    Set("PATH", root + "/tools");
    EnsureDirectory(root + "/tools");
  }
  ~TDesktopEnvironment() {
    for (const auto& [name, value] : saved_) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
  }
  TDesktopEnvironment(const TDesktopEnvironment&) = delete;
  TDesktopEnvironment& operator=(const TDesktopEnvironment&) = delete;

  std::string WindowsDirectory() const { return root_ + "/windir"; }
  std::string Tools() const { return root_ + "/tools"; }

  void Set(const char* name, std::optional<std::string> value) {
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

 private:
  std::string root_;
  std::map<std::string, std::optional<std::string>> saved_;
};
