// The PCX reader through LoadImage: the first two bytes are set to a PCX signature so every input
// reaches ReadPcx. QuickLook varies with the last byte, so reduced storing is covered too.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "formats/register_formats.h"
#include "image/image.h"
#include "image/picture_formats.h"
#include "settings/profile.h"

namespace {

std::string TempFolder() {
  static std::string folder = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz-pcx-XXXXXX";
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
  if (bytes.size() >= 2) {
    bytes[0] = 0x0A;
    bytes[1] = 5;
  }
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
