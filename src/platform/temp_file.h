// Temporary files made safely: never at a predictable name.
#pragma once

#include <cstdio>
#include <string>

// An open temporary file in $TMPDIR (else /tmp), created with mkstemp and
// already unlinked, so it vanishes when closed. Null when none can be made.
std::FILE* OpenAnonymousTempFile();

// A new empty file beside `target` (same folder, so a rename onto `target` is
// atomic), made with mkstemp; its path is returned in `path`. -1 on failure.
int CreateTempFileBeside(const std::string& target, std::string& path);
