#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "archive/input_stream.h"
#include "formats/format_messages.h"
#include "formats/little_endian.h"
#include "formats/pcx.h"
#include "formats/pcx_header.h"
#include "formats/reader_reduction.h"
#include "image/image.h"
#include "image/image_limits.h"
#include "image/picture_formats.h"
#include "platform/log_sink.h"
#include "platform/long_operation.h"

namespace {

// A picture of more than this many bits per pixel is held as 24-bit colour.
constexpr int kMaxPaletteBits = 23;
constexpr int kMaxPcxSide = 8192;
constexpr int kColourPlanes = 3;

constexpr std::array<PaletteEntry, kPcxHeaderMapEntries> kBuiltInColours = {{
    {0, 0, 0, 0},
    {255, 0, 0, 0},
    {0, 255, 0, 0},
    {255, 255, 0, 0},
    {0, 0, 255, 0},
    {255, 0, 255, 0},
    {0, 255, 255, 0},
    {255, 255, 255, 0},
    {255, 85, 85, 0},
    {85, 85, 85, 0},
    {0, 170, 0, 0},
    {0, 0, 170, 0},
    {255, 255, 85, 0},
    {255, 85, 255, 0},
    {85, 255, 255, 0},
    {255, 255, 255, 0},
}};

struct PcxHeader {
  int version = 0;
  int bits_per_plane = 0;
  int planes = 0;
  int width = 0;
  int height = 0;
  int bytes_per_line = 0;
  std::array<std::uint8_t, kPcxHeaderMapEntries * 3> colour_map{};
};

// False, with the refusal logged, for a size of 0 or less or above the
// largest picture, and for bit depths the unpacking does not know.
bool ParseHeader(const std::array<std::uint8_t, kPcxHeaderSize>& raw, int max_side,
                 PcxHeader& header) {
  header.version = raw[kPcxVersionOffset];
  header.bits_per_plane = raw[kPcxBitsOffset];
  header.planes = raw[kPcxPlanesOffset];
  header.width = read_u16le(&raw[kPcxXMaxOffset]) - read_u16le(&raw[kPcxXMinOffset]) + 1;
  header.height = read_u16le(&raw[kPcxYMaxOffset]) - read_u16le(&raw[kPcxYMinOffset]) + 1;
  header.bytes_per_line = read_u16le(&raw[kPcxBytesPerLineOffset]);
  std::copy_n(raw.begin() + kPcxHeaderMapOffset, header.colour_map.size(),
              header.colour_map.begin());
  if (header.width <= 0 || header.height <= 0 || header.width > max_side ||
      header.height > max_side) {
    LogLine(kPcxRefusedLine, FormatLogText(kSizeNotRead, header.width, header.height));
    return false;
  }
  const int bits = header.bits_per_plane;
  if (bits != 1 && bits != 2 && bits != 4 && bits != 8) {
    LogLine(kPcxRefusedLine, FormatLogText(kPcxBitsPerPlaneNotRead, bits));
    return false;
  }
  return true;
}

// The run-length decoder's state runs on across rows and planes: a run may
// end in the next row. The end of the file decodes as zeros.
class RunDecoder {
 public:
  explicit RunDecoder(InputStream* stream) : stream_(stream) {}

  std::uint8_t Next() {
    while (remaining_ <= 0) {
      const int code = stream_getc(stream_);
      if (code < 0) {
        value_ = 0;
        remaining_ = 1;
        exhausted_ = true;
      } else if (code >= kPcxRunFlag) {
        remaining_ = code & kPcxRunCountMask;
        const int value = stream_getc(stream_);
        value_ = static_cast<std::uint8_t>(value < 0 ? 0 : value);
      } else {
        value_ = static_cast<std::uint8_t>(code);
        remaining_ = 1;
      }
    }
    --remaining_;
    return value_;
  }

  // True once the file has ended and no run is pending: every later byte is 0.
  bool Exhausted() const { return exhausted_ && remaining_ <= 0; }

 private:
  InputStream* stream_;
  bool exhausted_ = false;
  int remaining_ = 0;
  std::uint8_t value_ = 0;
};

class PcxRowReader {
 public:
  PcxRowReader(InputStream* stream, const PcxHeader& header)
      : decoder_(stream),
        header_(header),
        buffer_(static_cast<std::size_t>(header.width) * kColourPlanes, 0) {}

  // Decodes the next file row into red, green, blue planes (or indices in
  // the first plane).
  const std::uint8_t* NextRow() {
    if (decoder_.Exhausted()) {
      ZeroRow();
    } else if (header_.planes < 2) {
      ReadSinglePlane();
    } else {
      std::fill(buffer_.begin(), buffer_.end(), 0);
      for (int plane = 0; plane < header_.planes; ++plane) ReadPlane(plane);
    }
    return buffer_.data();
  }

 private:
  // What decoding a row of zeros gives, without decoding bytes-per-line bytes
  // per plane: a file that lies about its size must not cost time.
  void ZeroRow() {
    if (header_.planes >= 2) {
      std::fill(buffer_.begin(), buffer_.end(), 0);
    } else if (header_.planes == 1) {
      const std::int64_t unpacked =
          std::int64_t{header_.bytes_per_line} * (8 / header_.bits_per_plane);
      std::fill_n(buffer_.begin(), std::min<std::int64_t>(unpacked, header_.width), 0);
    }
  }

  // Each byte unpacks to 8 / bits pixels, most significant bits first; pixels
  // beyond the width are decoded and dropped.
  void ReadSinglePlane() {
    if (header_.planes == 0) {
      for (int i = 0; i < header_.bytes_per_line; ++i) decoder_.Next();
      return;
    }
    const int bits = header_.bits_per_plane;
    const int mask = (1 << bits) - 1;
    int x = 0;
    for (int i = 0; i < header_.bytes_per_line; ++i) {
      const std::uint8_t byte = decoder_.Next();
      for (int shift = 8 - bits; shift >= 0 && x < header_.width; shift -= bits) {
        buffer_[x++] = static_cast<std::uint8_t>((byte >> shift) & mask);
      }
    }
  }

  void ReadPlane(int plane) {
    if (header_.bits_per_plane == 8) {
      // Plane 0 red, 1 green, 2 blue; further planes (alpha) are skipped.
      std::uint8_t* target =
          plane < kColourPlanes ? buffer_.data() + std::size_t(plane) * header_.width : nullptr;
      for (int i = 0; i < header_.bytes_per_line; ++i) {
        const std::uint8_t byte = decoder_.Next();
        if (target != nullptr && i < header_.width) target[i] = byte;
      }
      return;
    }
    // Bit planes: each byte's bits set bit `plane` of 8 consecutive pixels.
    const int bit = plane < 8 ? 1 << plane : 0;
    for (int i = 0; i < header_.bytes_per_line; ++i) {
      const std::uint8_t byte = decoder_.Next();
      const int first = i * 8;
      for (int k = 0; k < 8 && first + k < header_.width; ++k) {
        if (byte & (0x80 >> k)) buffer_[first + k] |= static_cast<std::uint8_t>(bit);
      }
    }
  }

  RunDecoder decoder_;
  const PcxHeader& header_;
  std::vector<std::uint8_t> buffer_;
};

// Reads the 256-colour palette at the end of the file when it lies wholly
// after the image data and carries its marker.
bool ReadTrailingPalette(InputStream* stream, LogPalette& palette) {
  const long data_end = stream_tell(stream);
  if (data_end < 0) return false;
  const long marker_size = 1;
  if (stream_seek(stream, -static_cast<long>(kPcxPaletteBytes) - marker_size, 2) != 0) {
    return false;
  }
  const long palette_start = stream_tell(stream);
  const int marker = stream_getc(stream);
  std::array<std::uint8_t, kPcxPaletteBytes> bytes{};
  const std::size_t got = stream_read(bytes.data(), 1, bytes.size(), stream);
  if (palette_start < data_end || got != bytes.size() || marker != kPcxPaletteMarker) return false;

  const bool all_zero =
      std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
  palette.count = kMaxPaletteEntries;
  for (int i = 0; i < kMaxPaletteEntries; ++i) {
    PaletteEntry& entry = palette.entries[i];
    if (all_zero) {
      // An all-zero palette is read as grey levels.
      entry = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i),
               static_cast<std::uint8_t>(i), 0};
    } else {
      entry = {bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2], 0};
    }
  }
  return true;
}

void ChoosePalette(InputStream* stream, const PcxHeader& header, LogPalette& palette) {
  const int total_bits = header.bits_per_plane * header.planes;
  if (total_bits == 1) {
    palette.count = 2;
    palette.entries[0] = {0, 0, 0, 0};
    palette.entries[1] = {255, 255, 255, 0};
  } else {
    palette.count = kPcxHeaderMapEntries;
    std::copy(kBuiltInColours.begin(), kBuiltInColours.end(), palette.entries.begin());
  }
  if (ReadTrailingPalette(stream, palette)) return;

  const bool header_map_counts = header.version == 2 || header.version > 3;
  const bool header_map_set = std::any_of(header.colour_map.begin(), header.colour_map.end(),
                                          [](std::uint8_t b) { return b != 0; });
  if (header_map_counts && header_map_set) {
    palette.count = kPcxHeaderMapEntries;
    for (int i = 0; i < kPcxHeaderMapEntries; ++i) {
      palette.entries[i] = {header.colour_map[3 * i], header.colour_map[3 * i + 1],
                            header.colour_map[3 * i + 2], 0};
    }
  }
}

}  // namespace

LoadStatus ReadPcx(InputStream* stream, TImage& image, const TProfile* settings) {
  std::array<std::uint8_t, kPcxHeaderSize> raw{};
  if (stream_read(raw.data(), 1, raw.size(), stream) != raw.size()) {
    LogLine(kPcxRefusedLine, kHeaderCutShort);
    return LoadStatus::kRefused;
  }
  PcxHeader header;
  if (!ParseHeader(raw, ReaderMaxSide(settings, kMaxPcxSide), header)) return LoadStatus::kRefused;

  const int total_bits = header.bits_per_plane * header.planes;
  const int bytes_per_pixel = total_bits > kMaxPaletteBits ? 3 : 1;
  image.Create(header.width, header.height, 1, 1, bytes_per_pixel, ReaderReduction(settings), 0,
               TImage::RowFill::kFill, ReaderLimit(settings));

  bool cancelled = false;
  BeginLongOperation();
  if (stream_seek(stream, static_cast<long>(kPcxHeaderSize), 0) == 0) {
    PcxRowReader rows(stream, header);
    const std::size_t plane = static_cast<std::size_t>(header.width);
    for (int y = 0; y < header.height && !cancelled; ++y) {
      const std::uint8_t* row = rows.NextRow();
      image.PutRow(0, y, row, row + plane, row + 2 * plane, header.width, -1);
      cancelled = PollLongOperation(static_cast<int>(std::int64_t{y} * 100 / header.height));
    }
  }
  EndLongOperation();

  if (bytes_per_pixel == 3) {
    image.SetGreyPalette();
  } else {
    LogPalette palette;
    ChoosePalette(stream, header, palette);
    image.SetPalette(palette);
  }
  return cancelled ? LoadStatus::kCancelled : LoadStatus::kLoaded;
}
