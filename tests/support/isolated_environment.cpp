// Every test process gets its own system folder, so no test reads or writes
// the settings of the user who runs the tests (first-start records, .ini files).
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {
std::string isolated_folder;

void RemoveIsolatedFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(isolated_folder, ignored);
}

const bool environment_isolated = [] {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/zentrope-home-XXXXXX";
  if (!mkdtemp(pattern.data())) return false;
  isolated_folder = pattern;
  setenv("ZENTROPE_WINDIR", (isolated_folder + "/windir").c_str(), 1);
  setenv("XDG_DATA_HOME", (isolated_folder + "/data").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (isolated_folder + "/config").c_str(), 1);
  std::atexit(RemoveIsolatedFolder);
  return true;
}();
}  // namespace
