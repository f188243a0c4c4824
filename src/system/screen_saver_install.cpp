#include "system/screen_saver_install.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "files/copy_with_log.h"
#include "platform/log_sink.h"
#include "platform/path.h"
#include "platform/private_profile.h"
#include "platform/system_folder.h"
#include "system/desktop_entry.h"
#include "system/external_tool.h"
#include "system/system_messages.h"
#include "system/text_file.h"
#include "system/xdg_places.h"

namespace {
constexpr char kXssLock[] = "xss-lock";
constexpr char kXautolock[] = "xautolock";
constexpr char kXset[] = "xset";
constexpr char kShell[] = "sh";
constexpr int kSecondsPerMinute = 60;
// A process's command line is a few hundred bytes; more is not read.
constexpr std::size_t kMaxCommandLine = 64 * 1024;

std::string Joined(const std::vector<std::string>& words,
                   std::string (*quote)(const std::string&)) {
  std::string line;
  for (const std::string& word : words) {
    if (!line.empty()) line += ' ';
    line += quote(word);
  }
  return line;
}

std::vector<std::string> XsetTimeout() {
  return {kXset, "s", std::to_string(kSaverTimeoutSeconds), "0"};
}

std::optional<std::string> ExecLine(const std::vector<std::string>& words) {
  std::string line;
  for (const std::string& word : words) {
    const std::optional<std::string> quoted = ExecWord(word);
    if (!quoted) return std::nullopt;
    if (!line.empty()) line += ' ';
    line += *quoted;
  }
  return line;
}

std::vector<std::string> CommandLineOf(const std::string& pid) {
  std::ifstream in("/proc/" + pid + "/cmdline", std::ios::binary);
  std::string text;
  text.resize(kMaxCommandLine);
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  std::vector<std::string> words;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\0', start);
    if (end == std::string::npos) end = text.size();
    words.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

bool IsWatcherOf(const std::vector<std::string>& words, const std::string& saver) {
  if (words.empty()) return false;
  const std::string program = SplitPath(words[0]).name + SplitPath(words[0]).extension;
  IdleWatcher watcher = IdleWatcher::kNone;
  if (program == kXssLock) watcher = IdleWatcher::kXssLock;
  if (program == kXautolock) watcher = IdleWatcher::kXautolock;
  if (watcher == IdleWatcher::kNone) return false;
  const std::vector<std::string> ours = WatcherCommand(watcher, saver);
  // The locker argument names the saver exactly as the install wrote it.
  const std::string& locker = watcher == IdleWatcher::kXssLock ? ours[2] : ours.back();
  for (std::size_t i = 1; i < words.size(); ++i) {
    if (words[i] == locker) return true;
  }
  return false;
}

void StartWatcher(IdleWatcher watcher, const std::string& saver, IdleSession& session) {
  if (session.HasDisplay()) {
    // A second install must not leave two watchers starting two savers.
    session.StopWatchers(saver);
    if (watcher == IdleWatcher::kXssLock) session.Run(XsetTimeout());
    if (!session.Start(WatcherCommand(watcher, saver))) {
      LogLine(kSaverWatcherFailedLog, IdleWatcherName(watcher));
      return;
    }
  }
  LogLine(kSaverWatcherLog, saver, IdleWatcherName(watcher));
}

bool CopySaver(const SaverPlaces& places) {
  const std::string& folder = places.install.windows_directory;
  EnsureDirectory(folder);
  DeleteWithLog(folder + "/" + kInstalledSaverSettings);
  CopyWithLog(HelpSource(places.install.program), folder + "/" + kInstalledSaverHelp, false);
  const bool copied =
      CopyWithLog(places.install.program, places.Saver(), false) && MakeExecutable(places.Saver());
  return copied && IsRunnable(places.Saver());
}
}  // namespace

std::string TDesktopIdleSession::FindTool(const std::string& name) {
  return ::FindTool(name);
}

bool TDesktopIdleSession::HasDisplay() {
  // Both watchers work on X only.
  const char* display = std::getenv("DISPLAY");
  return display != nullptr && *display != '\0';
}

bool TDesktopIdleSession::HasLoginSession() {
  const char* session = std::getenv("XDG_SESSION_ID");
  return session != nullptr && *session != '\0';
}

bool TDesktopIdleSession::Run(const std::vector<std::string>& argv) {
  return RunTool(argv) == 0;
}

bool TDesktopIdleSession::Start(const std::vector<std::string>& argv) {
  if (argv.empty()) return false;
  const std::string program = ::FindTool(argv[0]);
  if (program.empty()) return false;
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  // The grandchild reports a failed exec through the pipe; a successful one
  // closes it unwritten.
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return false;
  const pid_t child = fork();
  if (child < 0) {
    close(report[0]);
    close(report[1]);
    return false;
  }
  if (child == 0) {
    // Only async-signal-safe calls from here: the parent may have threads.
    // The second fork hands the program to init, so it never becomes a
    // zombie of ours and lives on after this program ends.
    if (fork() != 0) _exit(0);
    setsid();
    const int null_fd = open("/dev/null", O_RDONLY);
    if (null_fd >= 0) dup2(null_fd, 0);
    execv(program.c_str(), args.data());
    const char failed = 1;
    [[maybe_unused]] const ssize_t ignored = write(report[1], &failed, 1);
    _exit(127);
  }
  close(report[1]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  char failed = 0;
  ssize_t got = 0;
  do {
    got = read(report[0], &failed, 1);
  } while (got < 0 && errno == EINTR);
  close(report[0]);
  return got == 0;
}

int TDesktopIdleSession::StopWatchers(const std::string& saver) {
  DIR* proc = opendir("/proc");
  if (proc == nullptr) return 0;
  int stopped = 0;
  while (const dirent* entry = readdir(proc)) {
    const std::string pid = entry->d_name;
    if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
    struct stat info {};
    if (stat(("/proc/" + pid).c_str(), &info) != 0 || info.st_uid != getuid()) continue;
    if (!IsWatcherOf(CommandLineOf(pid), saver)) continue;
    if (kill(static_cast<pid_t>(std::atol(pid.c_str())), SIGTERM) == 0) ++stopped;
  }
  closedir(proc);
  return stopped;
}

SaverPlaces CurrentSaverPlaces() {
  return SaverPlaces{CurrentInstallPlaces(),
                     XdgPlaces::FromEnvironment().config_home + "/autostart"};
}

IdleWatcher ChooseIdleWatcher(IdleSession& session) {
  const bool xss_lock = !session.FindTool(kXssLock).empty();
  if (xss_lock && session.HasLoginSession()) return IdleWatcher::kXssLock;
  if (!session.FindTool(kXautolock).empty()) return IdleWatcher::kXautolock;
  return xss_lock ? IdleWatcher::kXssLock : IdleWatcher::kNone;
}

const char* IdleWatcherName(IdleWatcher watcher) {
  switch (watcher) {
    case IdleWatcher::kXssLock:
      return kXssLock;
    case IdleWatcher::kXautolock:
      return kXautolock;
    case IdleWatcher::kNone:
      break;
  }
  return "";
}

std::string ShellWord(const std::string& text) {
  constexpr std::string_view kPlain =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_./-+=:,@%";
  if (!text.empty() && text.find_first_not_of(kPlain) == std::string::npos) return text;
  std::string quoted = "'";
  for (const char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

std::vector<std::string> WatcherCommand(IdleWatcher watcher, const std::string& saver) {
  switch (watcher) {
    case IdleWatcher::kXssLock:
      // The locker must not fork: xss-lock waits for it to end.
      return {kXssLock, "--", saver, kSaverRunSwitch};
    case IdleWatcher::kXautolock:
      // xautolock hands its locker to the shell.
      return {kXautolock, "-time", std::to_string(kSaverTimeoutSeconds / kSecondsPerMinute),
              "-locker", ShellWord(saver) + " " + kSaverRunSwitch};
    case IdleWatcher::kNone:
      break;
  }
  return {};
}

std::optional<std::string> SaverAutostartText(IdleWatcher watcher, const std::string& saver) {
  std::optional<std::string> exec;
  if (watcher == IdleWatcher::kXssLock) {
    // xss-lock follows the X server's own idle time, which xset sets first.
    const std::string script = Joined(XsetTimeout(), ShellWord) + "; exec " +
                               Joined(WatcherCommand(watcher, saver), ShellWord);
    exec = ExecLine({kShell, "-c", script});
  } else if (watcher == IdleWatcher::kXautolock) {
    exec = ExecLine(WatcherCommand(watcher, saver));
  }
  if (!exec) return std::nullopt;
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Zentrope Screen Saver\n"
         "Comment=Starts the Zentrope screen saver when the desktop is idle\n"
         "Exec=" +
         *exec +
         "\n"
         "Terminal=false\n"
         "NoDisplay=true\n"
         "X-GNOME-Autostart-enabled=true\n";
}

bool InstallScreenSaver(DialogService& dialogs, WindowId owner, const SaverPlaces& places,
                        IdleSession& session) {
  const TUtilityRun run;
  if (!run.Started()) return false;
  // Nothing is touched unless every part of the install can be made.
  const IdleWatcher watcher = ChooseIdleWatcher(session);
  if (watcher == IdleWatcher::kNone) {
    LogLine(kNoIdleWatcherLog);
    MessageBox(dialogs, owner, kNoIdleWatcherText, kInstallSaverCaption,
               MessageBoxIcon::kExclamation);
    return false;
  }
  const std::optional<std::string> entry = SaverAutostartText(watcher, places.Saver());
  if (!entry) {
    LogLine(kProfileFailedLog, places.AutostartEntry());
    return false;
  }
  if (!CopySaver(places)) {
    LogLine(kSaverNotCopiedLog, places.Saver());
    return false;
  }
  if (!WriteTextFileAtomically(places.AutostartEntry(), *entry)) {
    LogLine(kProfileFailedLog, places.AutostartEntry());
    return false;
  }
  if (!WritePrivateProfileString(kSaverProfileSection, kSaverProfileKey, places.Saver().c_str(),
                                 places.Profile())) {
    LogLine(kProfileFailedLog, places.Profile());
    RemoveFileIfPresent(places.AutostartEntry());
    return false;
  }
  StartWatcher(watcher, places.Saver(), session);
  return true;
}

void RemoveScreenSaver(const SaverPlaces& places, IdleSession& session) {
  const TUtilityRun run;
  if (!run.Started()) return;
  const std::string& folder = places.install.windows_directory;
  for (const char* name : {kInstalledSaverSettings, kInstalledSaverHelp, kInstalledSaver}) {
    DeleteWithLog(folder + "/" + name);
  }
  if (!WritePrivateProfileString(kSaverProfileSection, kSaverProfileKey, kNoSaverValue,
                                 places.Profile())) {
    LogLine(kProfileFailedLog, places.Profile());
  }
  LogLine(RemoveFileIfPresent(places.AutostartEntry()) ? kDeletedLog : kDeleteFailedLog,
          places.AutostartEntry());
  const int stopped = session.StopWatchers(places.Saver());
  if (stopped > 0) LogLine(kSaverWatchersStoppedLog, stopped);
  if (session.HasDisplay() && !session.FindTool(kXset).empty()) session.Run({kXset, "s", "off"});
}

std::optional<std::string> InstalledSaver(const std::string& windows_directory) {
  const std::string saver = GetPrivateProfileString(kSaverProfileSection, kSaverProfileKey, "",
                                                    windows_directory + "/" + kSaverProfileName);
  if (saver.empty() || EqualsNoCase(saver, kNoSaverValue) || !IsRunnable(saver)) {
    return std::nullopt;
  }
  return saver;
}

bool StartInstalledSaver(const std::string& windows_directory, IdleSession& session) {
  const std::optional<std::string> saver = InstalledSaver(windows_directory);
  return saver && session.Start({*saver, kSaverRunSwitch});
}
