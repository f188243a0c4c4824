// TDecode over arbitrary text: whatever the begin lines name, output stays in
// the input's folder and every line is read within its buffer.
#include <dirent.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "archive/decode.h"

namespace {

std::string TempFolder() {
  static std::string folder = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz-decode-XXXXXX";
    return std::string(mkdtemp(pattern.data()) ? pattern : "");
  }();
  return folder;
}

void EmptyFolder(const std::string& folder) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") unlink((folder + "/" + name).c_str());
  }
  closedir(dir);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string folder = TempFolder();
  if (folder.empty()) return 0;
  // Two parts, split where the first byte says, so part naming is exercised.
  const std::size_t cut = size > 0 ? (data[0] * size) / 256 : 0;
  const std::string first = folder + "/post.uu1";
  const std::string second = folder + "/post.uu2";
  if (FILE* file = std::fopen(first.c_str(), "wb")) {
    std::fwrite(data, 1, cut, file);
    std::fclose(file);
  }
  if (FILE* file = std::fopen(second.c_str(), "wb")) {
    std::fwrite(data + cut, 1, size - cut, file);
    std::fclose(file);
  }
  {
    TDecode decode;
    decode.Decode(first);
  }
  EmptyFolder(folder);
  return 0;
}
