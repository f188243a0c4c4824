// Settings files are edited by hand and may hold anything: reading keys from
// them and rewriting them must never crash, and a rewritten file must read back
// what was written.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/private_profile.h"

namespace {
std::string ScratchFile() {
  static const std::string path = [] {
    const char* dir = std::getenv("TMPDIR");
    std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/fuzz-profile-XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd >= 0) close(fd);
    return pattern;
  }();
  return path;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string file = ScratchFile();
  std::FILE* out = std::fopen(file.c_str(), "wb");
  if (!out) return 0;
  std::fwrite(data, 1, size, out);
  std::fclose(out);

  // Section and key names taken from the input itself reach the odd corners.
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string section = text.substr(0, std::min<std::size_t>(size, 8));
  const std::string key = size > 8 ? text.substr(8, 8) : "Effect";
  GetPrivateProfileString(section, key, "default", file);
  GetPrivateProfileString("zentrope", "Effect", "", file);

  if (WritePrivateProfileString("zentrope", "Effect", "12", file) &&
      GetPrivateProfileString("zentrope", "Effect", "", file) != "12") {
    std::abort();
  }
  WritePrivateProfileString(section, key.c_str(), nullptr, file);
  WritePrivateProfileString(section, nullptr, nullptr, file);
  return 0;
}
