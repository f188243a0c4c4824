// Drops files onto a window of another process the way a file manager does:
// as an XDND source on its own X connection.
#pragma once

#include <string>
#include <vector>

// Drags `paths` (absolute) onto the top-level X window `target` at the root
// point (x, y) and drops them there. True when the target accepted the
// drop, read the file list and reported the drop finished; `error` says
// which step failed otherwise.
bool DropFilesOnWindow(unsigned long target, int x, int y, const std::vector<std::string>& paths,
                       std::string* error);
