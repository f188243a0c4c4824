// Running part of a test in a forked child: for steps that change what the
// whole process may do (its user, its file size limit) or that might hang.
#pragma once

#include <functional>

// Runs `body` in a child process and returns its exit status, or -1 when the
// child did not exit normally (killed, or still running after 20 seconds).
int RunInChildProcess(const std::function<int()>& body);

// In the child: gives up root's right to read and write any file, so that file
// permissions hold as they do for a user. True when permissions now apply.
bool DropFileAccessPrivileges();
