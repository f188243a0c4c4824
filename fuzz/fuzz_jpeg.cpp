// The JPEG reader through LoadImage. Inputs that do not start with the 0xFF 0xD8 0xFF signature get
// it, so every input reaches ReadJpeg. The last byte chooses settings (QuickLook, and for JPEG
// quantizing and grey output), so the reduced and quantized paths run too.
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
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz-jpeg-XXXXXX";
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
  if (bytes.size() < 3 || bytes[0] != 0xFF || bytes[1] != 0xD8 || bytes[2] != 0xFF) {
    const std::uint8_t signature[] = {0xFF, 0xD8, 0xFF};
    bytes.insert(bytes.begin(), signature, signature + 3);
  }
  const std::string path = TempFolder() + "/input";
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);

  const int choice = size > 0 ? data[size - 1] : 0;
  settings.Set(IntKey::QuickLook, choice & 1);
  settings.Set(IntKey::JPEGTwoPass, (choice >> 1) & 1);
  settings.Set(IntKey::JPEGUseMonochrome, (choice >> 2) & 1);
  settings.Set(IntKey::JPEGBlockSmoothing, (choice >> 3) & 1);
  settings.Set(IntKey::JPEGPixelSmoothing, (choice >> 4) & 1);
  auto image = std::make_unique<TImage>();
  LoadImage(path, *image, &settings);
  return 0;
}
