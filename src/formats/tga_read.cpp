#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "archive/input_stream.h"
#include "formats/format_messages.h"
#include "formats/little_endian.h"
#include "formats/reader_reduction.h"
#include "formats/tga.h"
#include "formats/tga_header.h"
#include "image/image.h"
#include "image/picture_formats.h"
#include "platform/log_sink.h"
#include "platform/long_operation.h"

namespace {

// The colour map may place entries anywhere below this index.
constexpr int kMapTableSize = 8192;
constexpr int kMinTgaSide = 16;
constexpr int kMaxTgaSide = 8192;
constexpr int kGreyDepth = 8;

struct TgaHeader {
  int id_length = 0;
  int map_type = 0;
  int image_type = 0;
  int map_first = 0;
  int map_length = 0;
  int map_entry_bits = 0;
  int width = 0;
  int height = 0;
  int depth = 0;
  int descriptor = 0;
};

bool IsKnownDepth(int bits) {
  return bits == 8 || bits == 15 || bits == 16 || bits == 24 || bits == 32;
}

bool IsKnownType(int type) {
  return type == kTgaTypeMapped || type == kTgaTypeTrueColour || type == kTgaTypeGrey ||
         type == kTgaTypeMappedRle || type == kTgaTypeTrueColourRle || type == kTgaTypeGreyRle;
}

// False, with the refusal logged, when the header fails its tests.
bool ParseHeader(const std::array<std::uint8_t, kTgaHeaderSize>& raw, int max_side,
                 TgaHeader& header) {
  header.id_length = raw[kTgaIdLengthOffset];
  header.map_type = raw[kTgaMapTypeOffset];
  header.image_type = raw[kTgaImageTypeOffset];
  header.map_first = read_u16le(&raw[kTgaMapFirstOffset]);
  header.map_length = read_u16le(&raw[kTgaMapLengthOffset]);
  header.map_entry_bits = raw[kTgaMapEntryBitsOffset];
  header.width = read_u16le(&raw[kTgaWidthOffset]);
  header.height = read_u16le(&raw[kTgaHeightOffset]);
  header.depth = raw[kTgaDepthOffset];
  header.descriptor = raw[kTgaDescriptorOffset];

  if (!IsKnownType(header.image_type)) {
    LogLine(kTgaRefusedLine, FormatLogText(kTgaImageTypeNotRead, header.image_type));
    return false;
  }
  if (header.map_type > 1 ||
      (header.map_type == 1 && (header.map_first + header.map_length > kMapTableSize ||
                                !IsKnownDepth(header.map_entry_bits)))) {
    LogLine(kTgaRefusedLine, kTgaColourMapNotRead);
    return false;
  }
  if (header.width < kMinTgaSide || header.width > max_side || header.height < kMinTgaSide ||
      header.height > max_side) {
    LogLine(kTgaRefusedLine, FormatLogText(kSizeNotRead, header.width, header.height));
    return false;
  }
  if (!IsKnownDepth(header.depth)) {
    LogLine(kTgaRefusedLine, FormatLogText(kBitsPerPixelNotRead, header.depth));
    return false;
  }
  return true;
}

struct ColourTables {
  std::array<std::uint8_t, kMapTableSize> red{};
  std::array<std::uint8_t, kMapTableSize> green{};
  std::array<std::uint8_t, kMapTableSize> blue{};
};

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
};

// Pixel values of 1 to 4 bytes, plain or in run-length packets, handed out as
// their bytes. Packets carry on across rows. Bytes beyond the end of the
// stream read as the end-of-stream value (all bits set), so a short file keeps
// its size.
class PixelReader {
 public:
  PixelReader(InputStream* stream, int bytes_per_value, bool run_length)
      : stream_(stream), bytes_(bytes_per_value), run_length_(run_length) {}

  // count values of bytes_per_value bytes each into `out`.
  void Read(std::uint8_t* out, int count) {
    if (!run_length_) {
      ReadBytes(out, Size(count));
      return;
    }
    while (count > 0) {
      if (left_in_packet_ <= 0) {
        std::uint8_t packet = 0;
        ReadBytes(&packet, 1);
        in_run_ = (packet & kTgaRunPacket) != 0;
        left_in_packet_ = (packet & kTgaPacketCountMask) + 1;
        if (in_run_) ReadBytes(run_value_.data(), Size(1));
      }
      const int take = std::min(left_in_packet_, count);
      if (in_run_) {
        for (int i = 0; i < take; ++i) std::memcpy(out + Size(i), run_value_.data(), Size(1));
      } else {
        ReadBytes(out, Size(take));
      }
      out += Size(take);
      count -= take;
      left_in_packet_ -= take;
    }
  }

 private:
  std::size_t Size(int values) const { return static_cast<std::size_t>(values) * bytes_; }

  // Through the stream's window as stream_getc reads it; a block read would
  // go to the file for every packet.
  void ReadBytes(std::uint8_t* bytes, std::size_t size) {
    if (!at_end_ && stream_->count >= 0 && static_cast<std::size_t>(stream_->count) >= size) {
      std::memcpy(bytes, stream_->cursor, size);
      stream_->cursor += size;
      stream_->count -= static_cast<std::int32_t>(size);
      return;
    }
    for (std::size_t i = 0; i < size; ++i) {
      const int byte = at_end_ ? -1 : stream_getc(stream_);
      at_end_ = byte < 0;
      bytes[i] = static_cast<std::uint8_t>(byte);
    }
  }

  InputStream* stream_;
  int bytes_;
  bool run_length_;
  bool at_end_ = false;
  bool in_run_ = false;
  int left_in_packet_ = 0;
  std::array<std::uint8_t, 4> run_value_{};
};

// The value of one pixel's bytes, lowest byte first.
std::uint32_t ValueOf(const std::uint8_t* bytes, int size) {
  std::uint32_t value = 0;
  for (int b = 0; b < size; ++b) value |= std::uint32_t{bytes[b]} << (8 * b);
  return value;
}

// A value's colour without the colour map: grey, 5-5-5 or blue-green-red.
Rgb DirectColour(std::uint32_t value, int bytes) {
  if (bytes == 1) {
    const auto v = static_cast<std::uint8_t>(value);
    return {v, v, v};
  }
  if (bytes == 2) {
    const unsigned lo = value & 0xFF;
    const unsigned hi = (value >> 8) & 0xFF;
    return {static_cast<std::uint8_t>(((hi >> 2) & 0x1F) * 8),
            static_cast<std::uint8_t>((((hi & 0x03) << 3) | (lo >> 5)) * 8),
            static_cast<std::uint8_t>((lo & 0x1F) * 8)};
  }
  return {static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value)};
}

// A value's colour through the colour map. Indices beyond the tables read
// as index 0.
Rgb MappedColour(std::uint32_t value, int bytes, const ColourTables& map) {
  if (bytes <= 2) {
    const std::uint32_t index = value < kMapTableSize ? value : 0;
    return {map.red[index], map.green[index], map.blue[index]};
  }
  const Rgb direct = DirectColour(value, bytes);
  return {map.red[direct.red], map.green[direct.green], map.blue[direct.blue]};
}

int BytesPerValue(int bits) {
  return (bits + 7) / 8;
}

void ReadIdentification(InputStream* stream, int length) {
  for (int i = 0; i < length; ++i) {
    const int byte = stream_getc(stream);
    if (byte < 0) return;
    if (byte != 0) AddCommentChar(byte);
  }
}

void ReadColourMap(InputStream* stream, const TgaHeader& header, ColourTables& map) {
  for (int i = 0; i < kMaxPaletteEntries; ++i) {
    const auto v = static_cast<std::uint8_t>(i);
    map.red[i] = map.green[i] = map.blue[i] = v;
  }
  if (header.map_type == 0) return;
  const int bytes = BytesPerValue(header.map_entry_bits);
  PixelReader entries(stream, bytes, false);
  for (int i = 0; i < header.map_length; ++i) {
    std::array<std::uint8_t, 4> entry{};
    entries.Read(entry.data(), 1);
    const Rgb colour = DirectColour(ValueOf(entry.data(), bytes), bytes);
    const int slot = header.map_first + i;  // below kMapTableSize, checked with the header
    map.red[slot] = colour.red;
    map.green[slot] = colour.green;
    map.blue[slot] = colour.blue;
  }
}

void SetPictureColours(TImage& image, const TgaHeader& header, const ColourTables& map) {
  if (header.depth != kGreyDepth) {
    image.SetGreyPalette();
    return;
  }
  LogPalette palette;
  palette.count = kMaxPaletteEntries;
  for (int i = 0; i < kMaxPaletteEntries; ++i) {
    palette.entries[i] = {map.red[i], map.green[i], map.blue[i], 0};
  }
  image.SetPalette(palette);
}

int InterleaveStep(int descriptor) {
  switch ((descriptor >> kTgaInterleaveShift) & 0x03) {
    case 1:
      return 2;
    case 2:
      return 4;
    default:
      return 1;
  }
}

class RowDecoder {
 public:
  RowDecoder(InputStream* stream, const TgaHeader& header, const ColourTables& map)
      : bytes_(BytesPerValue(header.depth)),
        mapped_(header.image_type == kTgaTypeMapped || header.image_type == kTgaTypeMappedRle),
        indexed_(header.depth == kGreyDepth),
        map_(map),
        pixels_(stream, bytes_, header.image_type >= kTgaTypeMappedRle),
        bytes_of_row_(std::size_t(4) * header.width),
        planes_(std::size_t(3) * header.width),
        width_(header.width),
        right_to_left_((header.descriptor & kTgaRightOrigin) != 0) {}

  // One file row, left to right: raw indices in the first plane for 8-bit
  // files, otherwise red, green and blue planes.
  const std::uint8_t* Next() {
    Decode();
    if (right_to_left_) {
      const int planes = indexed_ ? 1 : 3;
      for (int p = 0; p < planes; ++p) {
        const auto first = planes_.begin() + static_cast<std::ptrdiff_t>(p) * width_;
        std::reverse(first, first + width_);
      }
    }
    return planes_.data();
  }

 private:
  const std::uint8_t* Decode() {
    const std::uint8_t* in = bytes_of_row_.data();
    pixels_.Read(bytes_of_row_.data(), width_);
    std::uint8_t* red = planes_.data();
    if (indexed_) {
      std::memcpy(red, in, static_cast<std::size_t>(width_));
      return red;
    }
    std::uint8_t* green = red + width_;
    std::uint8_t* blue = green + width_;
    if (bytes_ >= 3 && !mapped_) {
      for (int x = 0; x < width_; ++x, in += bytes_) {
        blue[x] = in[0];
        green[x] = in[1];
        red[x] = in[2];
      }
      return red;
    }
    for (int x = 0; x < width_; ++x, in += bytes_) {
      const std::uint32_t value = ValueOf(in, bytes_);
      const Rgb colour = mapped_ ? MappedColour(value, bytes_, map_) : DirectColour(value, bytes_);
      red[x] = colour.red;
      green[x] = colour.green;
      blue[x] = colour.blue;
    }
    return red;
  }

  int bytes_;
  bool mapped_;
  bool indexed_;
  const ColourTables& map_;
  PixelReader pixels_;
  std::vector<std::uint8_t> bytes_of_row_;
  std::vector<std::uint8_t> planes_;
  int width_;
  bool right_to_left_;
};

// False on a cancel.
bool ReadRows(InputStream* stream, const TgaHeader& header, const ColourTables& map,
              TImage& image) {
  RowDecoder rows(stream, header, map);
  const bool top_down = (header.descriptor & kTgaTopOrigin) != 0;
  const int step = InterleaveStep(header.descriptor);
  const std::size_t plane = static_cast<std::size_t>(header.width);
  int file_row = 0;
  int pass = 0;
  for (int read = 0; read < header.height; ++read) {
    const std::uint8_t* row = rows.Next();
    const int y = top_down ? file_row : header.height - 1 - file_row;
    image.PutRow(0, y, row, row + plane, row + 2 * plane, header.width, -1);
    file_row += step;
    if (file_row >= header.height) file_row = ++pass;
    if (PollLongOperation(static_cast<int>(std::int64_t{read + 1} * 100 / header.height))) {
      return false;
    }
  }
  return true;
}

}  // namespace

LoadStatus ReadTga(InputStream* stream, TImage& image, const TProfile* settings) {
  std::array<std::uint8_t, kTgaHeaderSize> raw{};
  if (stream_read(raw.data(), 1, raw.size(), stream) != raw.size()) {
    LogLine(kTgaRefusedLine, kHeaderCutShort);
    return LoadStatus::kRefused;
  }
  TgaHeader header;
  if (!ParseHeader(raw, ReaderMaxSide(settings, kMaxTgaSide), header)) return LoadStatus::kRefused;

  ReadIdentification(stream, header.id_length);
  auto map = std::make_unique<ColourTables>();
  ReadColourMap(stream, header, *map);

  const int bytes_per_pixel = header.depth == kGreyDepth ? 1 : 3;
  image.Create(header.width, header.height, 1, 1, bytes_per_pixel, ReaderReduction(settings), 0,
               TImage::RowFill::kFill, ReaderLimit(settings));
  SetPictureColours(image, header, *map);

  BeginLongOperation();
  const bool finished = ReadRows(stream, header, *map, image);
  EndLongOperation();
  return finished ? LoadStatus::kLoaded : LoadStatus::kCancelled;
}
