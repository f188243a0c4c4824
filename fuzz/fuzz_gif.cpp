// The GIF reader through LoadImage: the first six bytes are set to "GIF89a" so every input
// reaches it. QuickLook varies with the last byte, so reduced storing is covered too.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "formats/register_formats.h"
#include "image/image.h"
#include "image/picture_formats.h"
#include "settings/profile.h"

namespace {

constexpr char kSignature[] = "GIF89a";

std::string TempFolder() {
  static std::string folder = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz-gif-XXXXXX";
    return std::string(mkdtemp(pattern.data()) ? pattern : "/tmp");
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool registered = [] {
    setenv("ZENTROPE_WINDIR", TempFolder().c_str(), 1);
    RegisterPictureFormats();
    return true;
  }();
  (void)registered;
  static TProfile settings;

  std::vector<std::uint8_t> bytes(data, data + size);
  const std::size_t signature_size = sizeof kSignature - 1;
  if (bytes.size() >= signature_size) std::memcpy(bytes.data(), kSignature, signature_size);
  const std::string path = TempFolder() + "/input";
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);

  settings.Set(IntKey::QuickLook, size > 0 && (data[size - 1] & 1) ? 1 : 0);
  auto image = std::make_unique<TImage>();
  LoadImage(path, *image, &settings);
  return 0;
}
