// The WebP reader through LoadImage: "RIFF" and "WEBP" are set at 0 and 8 so
// every input of 12 bytes or more reaches it; the chunk size between them
// stays the input's. QuickLook varies with the last byte.
#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "fuzz_load_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static constexpr std::string_view kRiff = "RIFF";
  static constexpr std::string_view kWebp = "WEBP";
  FuzzLoadSupport& support = SharedFuzzLoad("webp");
  ChooseReadSettings(support.settings, data, size, false);
  std::vector<std::uint8_t> bytes(data, data + size);
  if (bytes.size() >= 12) {
    std::copy(kRiff.begin(), kRiff.end(), bytes.begin());
    std::copy(kWebp.begin(), kWebp.end(), bytes.begin() + 8);
  }
  support.Load(bytes);
  return 0;
}
