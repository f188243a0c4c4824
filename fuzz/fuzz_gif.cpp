// The GIF reader through LoadImage: the first six bytes are set to "GIF89a" so every input
// reaches it. QuickLook varies with the last byte, so reduced storing is covered too.
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz_load_support.h"

namespace {

constexpr char kSignature[] = "GIF89a";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzLoadSupport& support = SharedFuzzLoad("gif");

  std::vector<std::uint8_t> bytes(data, data + size);
  const std::size_t signature_size = sizeof kSignature - 1;
  if (bytes.size() >= signature_size) std::memcpy(bytes.data(), kSignature, signature_size);
  ChooseReadSettings(support.settings, data, size, false);
  support.Load(bytes);
  return 0;
}
