#include "system/install.h"

#include <sys/stat.h>
#include <unistd.h>
#include <climits>

#include <array>
#include <cerrno>

#include "files/copy_with_log.h"
#include "platform/log_sink.h"
#include "platform/path.h"
#include "platform/system_folder.h"
#include "settings/run_mode.h"
#include "system/associations.h"
#include "system/program_manager.h"
#include "system/system_messages.h"

namespace {
constexpr std::array<const char*, 5> kInstallIconCommands = {
    "[CreateGroup(Accessories)]", "[ShowGroup(Accessories,2)]", "[ShowGroup(Accessories,1)]",
    "[ReplaceItem(Zentrope Tarvex)]", "[AddItem(zentrp32.exe,Zentrope Tarvex)]"};
constexpr std::array<const char*, 3> kRemoveIconCommands = {
    "[ShowGroup(Accessories,2)]", "[ShowGroup(Accessories,1)]", "[DeleteItem(Zentrope Tarvex)]"};
constexpr char kHelpExtension[] = ".hlp";
// The build puts the help beside the program under this extension.
constexpr char kBuiltHelpExtension[] = ".html";
constexpr char kOpenCommandSuffix[] = " %1";
constexpr char kPrintCommandSuffix[] = " -p %1";

bool Ask(DialogService& dialogs, WindowId owner, const char* question, const char* caption) {
  return MessageBox(dialogs, owner, question, caption, MessageBoxIcon::kQuestion,
                    MessageBoxButtons::kYesNo) == DialogAnswer::kYes;
}

bool Exists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

void CopyProgram(const InstallPlaces& places, const std::string& target) {
  DeleteWithLog(places.windows_directory + "/" + kInstalledSettings);
  CopyWithLog(HelpSource(places.program), places.windows_directory + "/" + kInstalledHelp, false);
  if (CopyWithLog(places.program, target, false)) MakeExecutable(target);
}

bool SendAll(const auto& commands) {
  bool all_done = true;
  for (const char* command : commands) all_done = SendProgmanCommand(command) && all_done;
  return all_done;
}

void Associate(TClassesRoot& classes, const std::string& program) {
  if (!classes.SetValue(kOpenCommandKey, program + kOpenCommandSuffix) ||
      !classes.SetValue(kPrintCommandKey, program + kPrintCommandSuffix)) {
    LogLine(kCommandKeysFailedLog, program);
    return;
  }
  for (const char* extension : kAssociatedExtensions) AssociateExtension(classes, extension);
}

void Disassociate(TClassesRoot& classes) {
  if (!classes.DeleteKey(kShellKey)) LogLine(kDeleteFailedLog, kShellKey);
  bool all_done = true;
  for (const char* extension : kAssociatedExtensions) {
    all_done = DisassociateExtension(classes, extension) && all_done;
  }
  // A class that could not be given back stays saved for a later removal.
  if (all_done) classes.DeleteKey(kSaveKey);
}
}  // namespace

void DeleteWithLog(const std::string& path) {
  if (unlink(path.c_str()) == 0 || errno == ENOENT) {
    LogLine(kDeletedLog, path);
  } else {
    LogLine(kDeleteFailedLog, path);
  }
}

bool MakeExecutable(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  const mode_t mode = info.st_mode & 07777;
  return chmod(path.c_str(), mode | ((mode & 0444) >> 2)) == 0;
}

bool IsRunnable(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::string HelpSource(const std::string& program) {
  PathParts parts = SplitPath(program);
  parts.extension = kHelpExtension;
  const std::string help = JoinPath(parts);
  if (Exists(help)) return help;
  parts.extension = kBuiltHelpExtension;
  const std::string built = JoinPath(parts);
  return Exists(built) ? built : help;
}

std::string RunningProgramPath() {
  const std::string& started = ProgramPath();
  if (!started.empty() && started.front() == '/') return started;
  char buffer[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return started;
  return std::string(buffer, static_cast<std::size_t>(length));
}

InstallPlaces CurrentInstallPlaces() {
  return InstallPlaces{RunningProgramPath(), WindowsDirectory()};
}

TUtilityRun::TUtilityRun() {
  if (IsUtilityRunning()) return;
  SetUtilityRunning(true);
  started_ = true;
}

TUtilityRun::~TUtilityRun() {
  if (started_) SetUtilityRunning(false);
}

bool SameDirectory(const std::string& a, const std::string& b) {
  struct stat first {};
  struct stat second {};
  if (stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0) {
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
  }
  return WithoutTrailingSlash(a) == WithoutTrailingSlash(b);
}

void InstallZentrope(DialogService& dialogs, WindowId owner, const InstallPlaces& places,
                     TClassesRoot& classes) {
  const TUtilityRun run;
  if (!run.Started()) return;
  const std::string target = places.windows_directory + "/" + kInstalledProgram;
  const std::string program_folder = SplitPath(places.program).directory;
  if (!SameDirectory(program_folder.empty() ? "." : program_folder, places.windows_directory)) {
    EnsureDirectory(places.windows_directory);
    CopyProgram(places, target);
  }
  // An icon or association must never name a program that is not there.
  if (!IsRunnable(target)) {
    LogLine(kNotCopiedLog, target);
    return;
  }
  if (Ask(dialogs, owner, kAskCreateIcon, kInstallCaption)) {
    LogLine(SendAll(kInstallIconCommands) ? kCreatedIconLog : kIconNotCreatedLog);
  }
  if (Ask(dialogs, owner, kAskAssociate, kInstallCaption)) Associate(classes, target);
}

void RemoveZentrope(DialogService& dialogs, WindowId owner, const InstallPlaces& places,
                    TClassesRoot& classes) {
  const TUtilityRun run;
  if (!run.Started()) return;
  if (Ask(dialogs, owner, kAskDisassociate, kRemoveCaption)) Disassociate(classes);
  if (Ask(dialogs, owner, kAskRemoveIcon, kRemoveCaption)) {
    LogLine(SendAll(kRemoveIconCommands) ? kDeletedIconLog : kIconNotDeletedLog);
  }
  const std::string program_folder = SplitPath(places.program).directory;
  if (!SameDirectory(program_folder.empty() ? "." : program_folder, places.windows_directory)) {
    for (const char* name : {kInstalledSettings, kInstalledHelp, kInstalledProgram}) {
      DeleteWithLog(places.windows_directory + "/" + name);
    }
  }
}
