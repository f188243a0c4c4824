// The BMP reader on a file through LoadImage: the first two bytes are set to "BM" so every input
// reaches it. QuickLook varies with the last byte, so reduced storing is covered too.
#include <cstdint>

#include "fuzz_load_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzLoadSupport& support = SharedFuzzLoad("bmp");
  ChooseReadSettings(support.settings, data, size, false);
  support.LoadWithSignature("BM", data, size);
  return 0;
}
