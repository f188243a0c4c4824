// Copying and moving one file with a line in the log for each step.
#pragma once

#include <string>

// Logs "Copying %s to %s", copies with progress, then logs "Copied %s to %s"
// or "Error occurred while copying %s to %s". With `delete_source` the source
// is then deleted ("Deleted %s", or "Error occurred while deleting %s").
//
// The bytes go to a temporary file beside the destination that replaces it
// only once complete, so a failed copy leaves an existing destination as it
// was. Copying a file onto itself is refused. A move within one file system
// is a rename; across file systems the source goes only after a complete copy.
// True when everything asked for was done.
bool CopyWithLog(const std::string& source, const std::string& destination, bool delete_source);
