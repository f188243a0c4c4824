// How the process was started, decided once before anything else runs.
#pragma once

#include <string>

enum class RunMode : int {
  Viewer = 0,        // the picture viewer
  Saver = 1,         // running as the screen saver
  SaverSetup = 2,    // only the screen saver's setup dialog
  SaverOptions = 3,  // the viewer editing the saver's settings; never set at start
};

RunMode CurrentRunMode();
void SetRunMode(RunMode mode);

// Argument 0 as the program was started; settings file and section derive from it.
const std::string& ProgramPath();
void SetProgramPath(std::string path);
