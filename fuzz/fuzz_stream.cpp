// The input stream over arbitrary bytes: as a plain file, as a zip member,
// as uuencoded text and as base64 text, read to the end with a mix of inline
// reads, block reads and seeks, walking every member.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "archive/input_stream.h"

namespace {

std::string TempFolder() {
  static std::string folder = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz-stream-XXXXXX";
    return std::string(mkdtemp(pattern.data()) ? pattern : "/tmp");
  }();
  return folder;
}

void Put16(std::vector<unsigned char>& out, unsigned v) {
  out.push_back(static_cast<unsigned char>(v));
  out.push_back(static_cast<unsigned char>(v >> 8));
}

// A local header around the bytes, method and sizes taken from the bytes too.
std::vector<unsigned char> AsZip(const std::uint8_t* data, std::size_t size) {
  std::vector<unsigned char> zip = {0x50, 0x4b, 0x03, 0x04};
  Put16(zip, 20);
  Put16(zip, 0);
  Put16(zip, size > 0 && data[0] & 1 ? 0 : 8);
  Put16(zip, 0);
  Put16(zip, 0);
  const std::uint32_t crc = size > 4 ? data[1] | data[2] << 8 : 0;
  Put16(zip, crc);
  Put16(zip, 0);
  Put16(zip, static_cast<unsigned>(size & 0xFFFF));
  Put16(zip, static_cast<unsigned>(size >> 16));
  const std::uint32_t claimed = static_cast<std::uint32_t>(size) * (size > 3 ? data[3] % 8 + 1 : 1);
  Put16(zip, claimed & 0xFFFF);
  Put16(zip, claimed >> 16);
  Put16(zip, 1);
  Put16(zip, 0);
  zip.push_back('m');
  zip.insert(zip.end(), data, data + size);
  return zip;
}

void Exercise(InputStream* stream, const std::uint8_t* data, std::size_t size) {
  std::uint32_t choice = 2166136261u;
  for (std::size_t i = 0; i < size && i < 64; ++i) choice = (choice ^ data[i]) * 16777619u;
  unsigned char block[5000];
  for (int members = 0; members < 64; ++members) {
    for (int step = 0; step < 4000; ++step) {
      choice = choice * 1103515245u + 12345u;
      const unsigned op = (choice >> 16) % 16;
      if (op < 10) {
        if (stream_getc(stream) < 0 && op == 0) break;
      } else if (op < 13) {
        if (stream_read(block, 1, (choice >> 8) % sizeof block, stream) == 0 && op == 10) break;
      } else if (op < 15) {
        stream_seek(stream, static_cast<long>((choice >> 4) % 200000) - 100000,
                    static_cast<int>(choice % 4));
      } else {
        stream_tell(stream);
        stream_error(stream);
      }
    }
    ZipMemberInfo info{};
    if (stream_member_info(stream, &info) != 0) break;
    stream_next_member(stream);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const unsigned mode = data[0] % 4;
  ++data;
  --size;
  std::vector<unsigned char> bytes;
  if (mode == 0) bytes.assign(data, data + size);
  if (mode == 1) bytes = AsZip(data, size);
  if (mode == 2) {
    const std::string head = "begin 644 x\n";
    bytes.assign(head.begin(), head.end());
    bytes.insert(bytes.end(), data, data + size);
  }
  if (mode == 3) {
    const std::string head = "Content-transfer-encoding: base64\n";
    bytes.assign(head.begin(), head.end());
    bytes.insert(bytes.end(), data, data + size);
  }
  const std::string path = TempFolder() + "/input.uu1";
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  if (InputStream* stream = stream_open(path.c_str(), "rb")) {
    Exercise(stream, data, size);
    stream_close(stream);
  }
  return 0;
}
