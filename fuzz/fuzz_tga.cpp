// The Targa reader through LoadImage: bytes 1 and 2 are set to a colour map type and an image type
// so every input reaches ReadTga. QuickLook varies with the last byte, so reduced storing is
// covered too.
#include <cstdint>
#include <vector>

#include "fuzz_load_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzLoadSupport& support = SharedFuzzLoad("tga");

  std::vector<std::uint8_t> bytes(data, data + size);
  constexpr std::uint8_t kTypes[] = {1, 2, 3, 9, 10, 11};
  if (bytes.size() >= 3) {
    if (bytes[0] == 0x0A || bytes[0] == 0x42) bytes[0] = 0;  // not PCX nor BMP
    bytes[1] &= 1;
    bytes[2] = kTypes[bytes[2] % 6];
  }
  ChooseReadSettings(support.settings, data, size, false);
  support.Load(bytes);
  return 0;
}
