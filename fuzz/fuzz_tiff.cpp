// The TIFF reader through LoadImage. The first two bytes become "II" or "MM" (by the
// first byte's low bit), so every input reaches ReadTiff. The last byte chooses settings
// (QuickLook, and for JPEG quantizing and grey output), so the reduced and quantized paths run too.
#include <cstdint>
#include <vector>

#include "fuzz_load_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzLoadSupport& support = SharedFuzzLoad("tiff");

  std::vector<std::uint8_t> bytes(data, data + size);
  if (bytes.size() >= 2) {
    const std::uint8_t order = (bytes[0] & 1) ? 'M' : 'I';
    bytes[0] = bytes[1] = order;
  }
  ChooseReadSettings(support.settings, data, size, true);
  support.Load(bytes);
  return 0;
}
