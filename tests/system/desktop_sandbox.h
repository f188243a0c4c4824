// A private desktop for one test: HOME, the XDG folders and the system folder
// in a temporary folder, GSettings kept in a key file there, and every log
// line collected without its time of day.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/log_sink.h"
#include "support/temp_dir.h"
#include "system/xdg_places.h"

class TDesktopSandbox : public LogSink {
 public:
  TDesktopSandbox();
  ~TDesktopSandbox() override;
  TDesktopSandbox(const TDesktopSandbox&) = delete;
  TDesktopSandbox& operator=(const TDesktopSandbox&) = delete;

  void AppendLogLine(std::string_view line) override;

  const std::string& Root() const { return dir_.path(); }
  std::string WindowsDirectory() const { return dir_.File("windir"); }
  XdgPlaces Places() const { return XdgPlaces::FromEnvironment(); }
  std::string MimeAppsText() const;

  // Sets or unsets a variable until the sandbox goes.
  void SetVariable(const char* name, std::optional<std::string> value);

  std::vector<std::string> log;

 private:
  TempDir dir_;
  std::map<std::string, std::optional<std::string>> saved_;
};

// A desktop entry of another program, for it to be the default of a type.
void WriteOtherApplication(const XdgPlaces& places, const std::string& desktop_id);
