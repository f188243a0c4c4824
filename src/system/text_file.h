// Whole small text files (desktop entries, the MIME package) written so that
// a reader sees the old file or the new one, never a part.
#pragma once

#include <string>

// Writes `text` to a temporary file beside `path`, flushes it and renames it
// over `path`, making the folder when missing. On any failure the old file
// stays as it was and false is returned.
bool WriteTextFileAtomically(const std::string& path, const std::string& text);

// Removes the file; true when it is gone (also when it never existed).
bool RemoveFileIfPresent(const std::string& path);
