// The JPEG reader through LoadImage. Inputs that do not start with the 0xFF 0xD8 0xFF signature get
// it, so every input reaches ReadJpeg. The last byte chooses settings (QuickLook, and for JPEG
// quantizing and grey output), so the reduced and quantized paths run too.
#include <cstdint>
#include <vector>

#include "fuzz_load_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzLoadSupport& support = SharedFuzzLoad("jpeg");

  std::vector<std::uint8_t> bytes(data, data + size);
  if (bytes.size() < 3 || bytes[0] != 0xFF || bytes[1] != 0xD8 || bytes[2] != 0xFF) {
    const std::uint8_t signature[] = {0xFF, 0xD8, 0xFF};
    bytes.insert(bytes.begin(), signature, signature + 3);
  }
  ChooseReadSettings(support.settings, data, size, true);
  support.Load(bytes);
  return 0;
}
