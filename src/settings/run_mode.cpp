#include "settings/run_mode.h"

namespace {
RunMode run_mode = RunMode::Viewer;
std::string program_path;
}  // namespace

RunMode CurrentRunMode() {
  return run_mode;
}
void SetRunMode(RunMode mode) {
  run_mode = mode;
}

const std::string& ProgramPath() {
  return program_path;
}
void SetProgramPath(std::string path) {
  program_path = std::move(path);
}
