#include "platform/headless/surface_image_file.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

namespace {
constexpr std::size_t kMaxStoredBlock = 65535;
constexpr std::uint32_t kAdlerModulus = 65521;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::vector<std::uint8_t> RgbRow(const TSurface& surface, int y) {
  std::vector<std::uint8_t> row(static_cast<std::size_t>(surface.Width()) * 3);
  for (int x = 0; x < surface.Width(); ++x) {
    const ColorRef c = surface.ColourAt(x, y);
    row[3 * static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(RedOf(c));
    row[3 * static_cast<std::size_t>(x) + 1] = static_cast<std::uint8_t>(GreenOf(c));
    row[3 * static_cast<std::size_t>(x) + 2] = static_cast<std::uint8_t>(BlueOf(c));
  }
  return row;
}

const std::array<std::uint32_t, 256>& CrcTable() {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  return table;
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i) crc = CrcTable()[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void PutU32Be(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void AppendChunk(std::vector<std::uint8_t>& out, const char* type,
                 const std::vector<std::uint8_t>& data) {
  PutU32Be(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t type_at = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutU32Be(out, Crc32(out.data() + type_at, data.size() + 4));
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::vector<std::uint8_t> StoredZlib(const std::vector<std::uint8_t>& raw) {
  std::vector<std::uint8_t> out = {0x78, 0x01};
  std::size_t at = 0;
  do {
    const std::size_t length = std::min(kMaxStoredBlock, raw.size() - at);
    const bool last = at + length == raw.size();
    out.push_back(last ? 1 : 0);
    out.push_back(static_cast<std::uint8_t>(length & 0xFF));
    out.push_back(static_cast<std::uint8_t>(length >> 8));
    out.push_back(static_cast<std::uint8_t>(~length & 0xFF));
    out.push_back(static_cast<std::uint8_t>((~length >> 8) & 0xFF));
    out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
               raw.begin() + static_cast<std::ptrdiff_t>(at + length));
    at += length;
  } while (at < raw.size());
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (std::uint8_t byte : raw) {
    a = (a + byte) % kAdlerModulus;
    b = (b + a) % kAdlerModulus;
  }
  PutU32Be(out, (b << 16) | a);
  return out;
}

bool WriteAll(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  File file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
  return std::fclose(file.release()) == 0 && written;
}
}  // namespace

bool SaveSurfacePpm(const TSurface& surface, const std::string& path) {
  const std::string header =
      "P6\n" + std::to_string(surface.Width()) + " " + std::to_string(surface.Height()) + "\n255\n";
  std::vector<std::uint8_t> bytes(header.begin(), header.end());
  for (int y = 0; y < surface.Height(); ++y) {
    const std::vector<std::uint8_t> row = RgbRow(surface, y);
    bytes.insert(bytes.end(), row.begin(), row.end());
  }
  return WriteAll(path, bytes);
}

bool SaveSurfacePng(const TSurface& surface, const std::string& path) {
  std::vector<std::uint8_t> raw;
  raw.reserve((static_cast<std::size_t>(surface.Width()) * 3 + 1) * surface.Height());
  for (int y = 0; y < surface.Height(); ++y) {
    raw.push_back(0);  // filter: none
    const std::vector<std::uint8_t> row = RgbRow(surface, y);
    raw.insert(raw.end(), row.begin(), row.end());
  }
  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  PutU32Be(header, static_cast<std::uint32_t>(surface.Width()));
  PutU32Be(header, static_cast<std::uint32_t>(surface.Height()));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter, no interlace
  AppendChunk(png, "IHDR", header);
  AppendChunk(png, "IDAT", StoredZlib(raw));
  AppendChunk(png, "IEND", {});
  return WriteAll(path, png);
}
