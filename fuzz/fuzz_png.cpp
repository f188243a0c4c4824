// The PNG reader through LoadImage: the first eight bytes are set to the PNG
// signature so every input reaches it. QuickLook varies with the last byte, so
// reduced storing is covered too.
#include <cstdint>

#include "fuzz_load_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzLoadSupport& support = SharedFuzzLoad("png");
  ChooseReadSettings(support.settings, data, size, false);
  support.LoadWithSignature("\x89PNG\r\n\x1A\n", data, size);
  return 0;
}
