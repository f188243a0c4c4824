// The GIF reader through LoadImage: the first six bytes are set to "GIF89a" so every input
// reaches it. QuickLook varies with the last byte, so reduced storing is covered too.
#include <cstdint>

#include "fuzz_load_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzLoadSupport& support = SharedFuzzLoad("gif");
  ChooseReadSettings(support.settings, data, size, false);
  support.LoadWithSignature("GIF89a", data, size);
  return 0;
}
