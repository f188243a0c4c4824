// Running the desktop's own tools (update-mime-database, gsettings, feh, ...)
// directly, never through a shell, so no path or name is ever interpreted.
#pragma once

#include <string>
#include <vector>

// The tool's path when an executable of that name is on $PATH, else empty.
std::string FindTool(const std::string& name);

// Runs argv[0] (looked up on $PATH) with the rest as its arguments, its output
// discarded, and waits. The exit status, or -1 when it could not be run or
// did not exit normally.
int RunTool(const std::vector<std::string>& argv);

// As RunTool, returning what the tool printed on standard output; nothing
// (and *status -1) when it could not be run.
std::string ToolOutput(const std::vector<std::string>& argv, int* status);
