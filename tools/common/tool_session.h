// What the developer tools share: a private settings folder, so a tool never
// reads or writes the user's own settings, and saving a picture the way the
// program's conversion does (the tone settings applied through a TDither).
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "formats/register_formats.h"
#include "image/adjustments.h"
#include "image/dither.h"
#include "image/image.h"
#include "image/picture_formats.h"
#include "platform/path.h"
#include "platform/system_folder.h"
#include "settings/profile.h"

// Points ZENTROPE_WINDIR (unless the caller set one) at a folder of the tools'
// own in the user's cache, so a tool never touches the user's settings. It is
// kept between runs: only the first run records a first start and writes.
class TToolSettingsFolder {
 public:
  TToolSettingsFolder() {
    if (std::getenv("ZENTROPE_WINDIR") != nullptr) return;
    const char* cache = std::getenv("XDG_CACHE_HOME");
    const std::string folder =
        (cache && *cache ? std::string(cache) : HomeDirectory() + "/.cache") + "/zentrope/tools";
    if (EnsureDirectory(folder)) setenv("ZENTROPE_WINDIR", folder.c_str(), 1);
  }
  TToolSettingsFolder(const TToolSettingsFolder&) = delete;
  TToolSettingsFolder& operator=(const TToolSettingsFolder&) = delete;
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
