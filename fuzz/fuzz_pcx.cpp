// The PCX reader through LoadImage: the first two bytes are set to a PCX signature so every input
// reaches ReadPcx. QuickLook varies with the last byte, so reduced storing is covered too.
#include <cstdint>
#include <vector>

#include "fuzz_load_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzLoadSupport& support = SharedFuzzLoad("pcx");

  std::vector<std::uint8_t> bytes(data, data + size);
  if (bytes.size() >= 2) {
    bytes[0] = 0x0A;
    bytes[1] = 5;
  }
  ChooseReadSettings(support.settings, data, size, false);
  support.Load(bytes);
  return 0;
}
