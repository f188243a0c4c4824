// Install Zentrope and Remove Zentrope: copies of the program and its help in
// the system folder, the Accessories launcher, and the file associations,
// each step asked for or logged.
#pragma once

#include <string>

#include "platform/dialogs.h"
#include "system/classes_root.h"

inline constexpr char kInstalledProgram[] = "zentrp32.exe";
inline constexpr char kInstalledHelp[] = "zentrp32.hlp";
inline constexpr char kInstalledSettings[] = "zentrp32.ini";

// What the two commands work from.
struct InstallPlaces {
  std::string program;            // the running program, an absolute path
  std::string windows_directory;  // where the copies go, without a trailing "/"
};

// The running program as started when that is an absolute path, else the
// executable the process runs (a relative start no longer holds once the
// Install option has changed the current folder).
std::string RunningProgramPath();
InstallPlaces CurrentInstallPlaces();

// The process-wide utility flag, held while one install or removal runs.
class TUtilityRun {
 public:
  TUtilityRun();
  ~TUtilityRun();
  TUtilityRun(const TUtilityRun&) = delete;
  TUtilityRun& operator=(const TUtilityRun&) = delete;
  // False when another utility was already running: then do nothing.
  bool Started() const { return started_; }

 private:
  bool started_ = false;
};

// Both do nothing while another utility runs.
void InstallZentrope(DialogService& dialogs, WindowId owner, const InstallPlaces& places,
                     TClassesRoot& classes);
void RemoveZentrope(DialogService& dialogs, WindowId owner, const InstallPlaces& places,
                    TClassesRoot& classes);

// Deletes the file and logs "Deleted %s" (also when it was not there), or
// the failure.
void DeleteWithLog(const std::string& path);
// Gives a copied program execute rights where it can be read.
bool MakeExecutable(const std::string& path);
bool IsRunnable(const std::string& path);
// The program's help file: beside it with ".hlp", else the one the build
// writes beside it.
std::string HelpSource(const std::string& program);

// Both folders name the same folder (the same one on disk when both exist).
bool SameDirectory(const std::string& a, const std::string& b);
