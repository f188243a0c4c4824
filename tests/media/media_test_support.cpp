#include "media_test_support.h"

#include <cstdlib>
#include <string_view>

#include "support/temp_dir.h"

namespace {
void PutU32(std::vector<unsigned char>& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<unsigned char>(value >> shift));
}
void PutU16(std::vector<unsigned char>& out, std::uint16_t value) {
  out.push_back(static_cast<unsigned char>(value));
  out.push_back(static_cast<unsigned char>(value >> 8));
}
}  // namespace

bool GstreamerRequired() {
  const char* required = std::getenv("ZENTROPE_REQUIRE_GSTREAMER");
  return required && *required && std::string_view(required) != "0";
}

bool WriteSilentWav(const std::string& path, std::uint32_t milliseconds) {
  constexpr std::uint32_t kRate = 8000;
  const std::uint32_t data_size = kRate * milliseconds / 1000;
  std::vector<unsigned char> bytes = {'R', 'I', 'F', 'F'};
  PutU32(bytes, 36 + data_size);
  bytes.insert(bytes.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  PutU32(bytes, 16);
  PutU16(bytes, 1);  // PCM
  PutU16(bytes, 1);  // mono
  PutU32(bytes, kRate);
  PutU32(bytes, kRate);  // bytes a second
  PutU16(bytes, 1);
  PutU16(bytes, 8);
  bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
  PutU32(bytes, data_size);
  bytes.insert(bytes.end(), data_size, 0x80);
  return WriteFileBytes(path, bytes);
}

// Allocations that libraries make once and keep: GLib's constructors and interned
// strings, GStreamer's start, and the MPEG encoder's tables. Their stacks are
// only complete with slow unwinding.
extern "C" const char* __asan_default_options() {
  return "fast_unwind_on_malloc=0";
}
extern "C" const char* __lsan_default_suppressions() {
  return "leak:_dl_init\nleak:g_intern_string\nleak:gst_init_check\nleak:libmpeg2encpp\nleak:"
         "libmjpegutils\n";
}
