// What the developer tools share: a private settings folder, so a tool never
// reads or writes the user's own settings, and saving a picture the way the
// program's conversion does (the tone settings applied through a TDither).
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "formats/register_formats.h"
#include "image/adjustments.h"
#include "image/dither.h"
#include "image/image.h"
#include "image/picture_formats.h"
#include "settings/profile.h"

// Points ZENTROPE_WINDIR at a fresh folder for the tool's run (unless the
// caller set one) and removes it afterwards.
class TToolSettingsFolder {
 public:
  TToolSettingsFolder() {
    if (std::getenv("ZENTROPE_WINDIR") != nullptr) return;
    std::string pattern =
        (std::filesystem::temp_directory_path() / "zentrope-tool-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return;
    folder_ = pattern;
    setenv("ZENTROPE_WINDIR", folder_.c_str(), 1);
  }
  ~TToolSettingsFolder() {
    if (folder_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  TToolSettingsFolder(const TToolSettingsFolder&) = delete;
  TToolSettingsFolder& operator=(const TToolSettingsFolder&) = delete;

 private:
  std::string folder_;
};

// The built-in defaults, whatever a settings file says.
inline void UseDefaultSettings(TProfile& settings) {
  settings.Defaults();
}

// Sets "-Key=Value" (or "Key=Value") on the settings by name, integers first,
// as the program's command line does. False when no key matches.
inline bool SetOptionByName(TProfile& settings, std::string_view option) {
  if (!option.empty() && option.front() == '-') option.remove_prefix(1);
  const std::size_t equals = option.find('=');
  if (equals == std::string_view::npos || equals == 0) return false;
  const std::string_view name = option.substr(0, equals);
  const std::string value(option.substr(equals + 1));
  char* end = nullptr;
  const long number = std::strtol(value.c_str(), &end, 10);
  if (!value.empty() && *end == '\0' && settings.SetIntByName(name, static_cast<int>(number))) {
    return true;
  }
  return settings.SetStringByName(name, value);
}

// Saves as the program's conversion does: the tone settings through a
// TDither loaded with the picture's palette. 0 when saved.
inline int SaveWithSettings(const std::string& path, TImage& image, const TProfile& settings) {
  TDither dither;
  const ToneSettings tone = ToneFromSettings(settings, true);
  if (image.GetBytesPerPixel() == 1) {
    LogPalette palette;
    image.GetPalette(palette, nullptr);
    dither.SetSource(&palette, false, tone);
  } else {
    dither.SetSource(nullptr, false, tone);
  }
  return SaveImage(path, settings.Get(IntKey::SaveAsIndex), image, settings, dither, nullptr);
}
