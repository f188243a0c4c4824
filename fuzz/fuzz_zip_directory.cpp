// The central directory reader over arbitrary bytes, and every member it
// lists opened through its "archive/member" path and read to the end.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "archive/input_stream.h"
#include "archive/regular_input.h"
#include "archive/safe_name.h"
#include "archive/zip_central_directory.h"

namespace {

std::string TempFolder() {
  static std::string folder = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz-zipdir-XXXXXX";
    return std::string(mkdtemp(pattern.data()) ? pattern : "/tmp");
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = TempFolder() + "/input.zip";
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  const TRegularInput input(path);
  const ZipCentralDirectory directory = ReadZipCentralDirectory(input.fd());
  for (const ZipCentralMember& member : directory.members) {
    const std::string member_path = path + "/" + ReplaceControlBytes(member.name);
    if (InputStream* stream = stream_open(member_path.c_str(), "rb")) {
      while (stream_getc(stream) >= 0) {
      }
      stream_close(stream);
    }
  }
  return 0;
}
