// Install screen saver and Remove screen saver: a copy of the program named
// as the saver in the system folder, named in system.ini [boot], and started
// when the desktop has been idle by an idle watcher (xss-lock or xautolock)
// that an autostart entry runs at every login and the install runs at once.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "system/install.h"

inline constexpr char kInstalledSaver[] = "zentsv32.scr";
inline constexpr char kInstalledSaverHelp[] = "zentsv32.hlp";
inline constexpr char kInstalledSaverSettings[] = "zentsv32.ini";
inline constexpr char kSaverAutostartName[] = "zentrope-saver.desktop";
inline constexpr char kSaverProfileName[] = "system.ini";
inline constexpr char kSaverProfileSection[] = "boot";
inline constexpr char kSaverProfileKey[] = "scrnsave.exe";
inline constexpr char kNoSaverValue[] = "(None)";
// The idle time after which the saver starts.
inline constexpr int kSaverTimeoutSeconds = 300;
// The switch the desktop passes to run a saver (rather than set it up).
inline constexpr char kSaverRunSwitch[] = "/s";

enum class IdleWatcher { kNone, kXssLock, kXautolock };

// The desktop session the saver is installed into: its tools, and whether a
// display is there to start a watcher on now. Tests replace it.
class IdleSession {
 public:
  virtual ~IdleSession() = default;
  // The tool's path when installed, else empty.
  virtual std::string FindTool(const std::string& name) = 0;
  virtual bool HasDisplay() = 0;
  // A login manager keeps track of this session (xss-lock needs one).
  virtual bool HasLoginSession() = 0;
  // Runs a tool and waits; true when it exited with 0.
  virtual bool Run(const std::vector<std::string>& argv) = 0;
  // Starts a program that outlives this one; true when it could be started.
  virtual bool Start(const std::vector<std::string>& argv) = 0;
  // Ends this user's idle watchers that start `saver`; the number ended.
  virtual int StopWatchers(const std::string& saver) = 0;
};

// The real session: tools on $PATH, $DISPLAY, processes in /proc.
class TDesktopIdleSession : public IdleSession {
 public:
  std::string FindTool(const std::string& name) override;
  bool HasDisplay() override;
  bool HasLoginSession() override;
  bool Run(const std::vector<std::string>& argv) override;
  bool Start(const std::vector<std::string>& argv) override;
  int StopWatchers(const std::string& saver) override;
};

// Where the two commands work.
struct SaverPlaces {
  InstallPlaces install;
  std::string autostart_directory;  // $XDG_CONFIG_HOME/autostart

  std::string Saver() const { return install.windows_directory + "/" + kInstalledSaver; }
  std::string Profile() const { return install.windows_directory + "/" + kSaverProfileName; }
  std::string AutostartEntry() const { return autostart_directory + "/" + kSaverAutostartName; }
};
SaverPlaces CurrentSaverPlaces();

// xss-lock when it is installed and the session has a login manager (without
// one it ends after the first lock), else xautolock, else xss-lock when it is
// all there is, else none.
IdleWatcher ChooseIdleWatcher(IdleSession& session);
const char* IdleWatcherName(IdleWatcher watcher);

// The command line that keeps `watcher` running with `saver` as its locker.
std::vector<std::string> WatcherCommand(IdleWatcher watcher, const std::string& saver);
// The autostart entry that runs the watcher at login; nothing for kNone or
// a path no entry can carry.
std::optional<std::string> SaverAutostartText(IdleWatcher watcher, const std::string& saver);

// `text` as one word of a POSIX shell command line.
std::string ShellWord(const std::string& text);

// Both do nothing while another install, removal or zip command runs. The
// install refuses, with a line in the log and a message, when no idle
// watcher is installed, and writes no entry for a saver that was not copied.
// True when the saver was installed.
bool InstallScreenSaver(DialogService& dialogs, WindowId owner, const SaverPlaces& places,
                        IdleSession& session);
void RemoveScreenSaver(const SaverPlaces& places, IdleSession& session);

// The saver system.ini names, when that is a program that can run.
std::optional<std::string> InstalledSaver(const std::string& windows_directory);
// Starts the installed saver now; false when none is installed or it could
// not be started.
bool StartInstalledSaver(const std::string& windows_directory, IdleSession& session);
