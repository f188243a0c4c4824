#include "platform/temp_file.h"

#include <unistd.h>

#include <cstdlib>

#include "platform/path.h"

std::FILE* OpenAnonymousTempFile() {
  const char* dir = std::getenv("TMPDIR");
  std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/zentrope-XXXXXX";
  const int fd = mkstemp(pattern.data());
  if (fd < 0) return nullptr;
  unlink(pattern.c_str());
  std::FILE* file = fdopen(fd, "w+b");
  if (!file) close(fd);
  return file;
}

int CreateTempFileBeside(const std::string& target, std::string& path) {
  const PathParts parts = SplitPath(target);
  path = (parts.directory.empty() ? std::string("./") : parts.directory) + "." + parts.name +
         parts.extension + ".XXXXXX";
  return mkstemp(path.data());
}
