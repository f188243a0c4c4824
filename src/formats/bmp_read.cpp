#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "formats/alpha_background.h"
#include "formats/bmp_bitfields.h"
#include "formats/bmp_format.h"
#include "formats/bmp_rle_decoder.h"
#include "formats/bmp_source.h"
#include "formats/format_messages.h"
#include "formats/little_endian.h"
#include "formats/reader_reduction.h"
#include "image/image.h"
#include "image/picture_formats.h"
#include "platform/log_sink.h"
#include "platform/long_operation.h"

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kCoreHeaderSize = 12;
constexpr int kInfoHeaderSize = 40;
// Later forms of the information header: the 40-byte fields come first and
// the rest (masks, colour space) is skipped.
constexpr std::array<int, 4> kLongerInfoHeaderSizes = {52, 56, 108, 124};
constexpr int kMaxLongerHeaderSize = 124;
constexpr int kMaxSide = 8192;
// A 1-bit row expands in whole bytes: up to 7 pixels past the width.
constexpr std::size_t kRowPixelSlack = 8;
// Compression values of 16- and 32-bit pictures: none, masks after a 40-byte
// header (or inside a longer one), and the same with an alpha mask.
constexpr std::uint32_t kNoCompression = 0;
constexpr std::uint32_t kBitfields = 3;
constexpr std::uint32_t kAlphaBitfields = 6;
// Where the masks sit in headers long enough to hold them.
constexpr int kMasksOffset = 40;
constexpr int kHeaderWithColourMasks = 52;
constexpr int kHeaderWithAlphaMask = 56;

struct BmpHeader {
  std::int64_t data_position = -1;  // -1: right after the colour table (memory)
  int header_size = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;  // negative: top-down rows
  int bits_per_pixel = 0;
  std::uint32_t compression = 0;
  std::uint32_t colours_used = 0;
  BmpMasks masks{};  // as a header of 52 bytes or more gives them
  BmpBitfields fields;
};

bool IsTrueColour(int bits_per_pixel) {
  return bits_per_pixel == 16 || bits_per_pixel == 24 || bits_per_pixel == 32;
}

bool HasBitfields(int bits_per_pixel) {
  return bits_per_pixel == 16 || bits_per_pixel == 32;
}

bool IsInfoHeaderSize(int size) {
  return size == kInfoHeaderSize ||
         std::find(kLongerInfoHeaderSizes.begin(), kLongerInfoHeaderSizes.end(), size) !=
             kLongerInfoHeaderSizes.end();
}

void Refuse(std::string_view reason) {
  LogLine(kBmpRefusedLine, reason);
}

// False (the refusal logged) when the header is cut short or of a size not read.
bool ReadInfoHeader(BmpSource& source, BmpHeader& header) {
  std::array<std::uint8_t, kMaxLongerHeaderSize> bytes{};
  if (!source.Read(bytes.data(), 4)) {
    Refuse(kHeaderCutShort);
    return false;
  }
  header.header_size =
      static_cast<int>(std::min<std::uint32_t>(read_u32le(bytes.data()), 1u << 16));
  if (header.header_size == kCoreHeaderSize) {
    if (!source.Read(bytes.data() + 4, kCoreHeaderSize - 4)) {
      Refuse(kHeaderCutShort);
      return false;
    }
    header.width = read_u16le(bytes.data() + 4);
    header.height = read_u16le(bytes.data() + 6);
    header.bits_per_pixel = read_u16le(bytes.data() + 10);
    return true;
  }
  if (!IsInfoHeaderSize(header.header_size)) {
    Refuse(FormatLogText(kBmpHeaderSizeNotRead, header.header_size));
    return false;
  }
  if (!source.Read(bytes.data() + 4, static_cast<std::size_t>(header.header_size) - 4)) {
    Refuse(kHeaderCutShort);
    return false;
  }
  header.width = read_i32le(bytes.data() + 4);
  header.height = read_i32le(bytes.data() + 8);
  header.bits_per_pixel = read_u16le(bytes.data() + 14);
  header.compression = read_u32le(bytes.data() + 16);
  header.colours_used = read_u32le(bytes.data() + 32);
  for (int i = 0; i < 4; ++i) {
    const int end = i < 3 ? kHeaderWithColourMasks : kHeaderWithAlphaMask;
    if (header.header_size >= end)
      header.masks[i] = read_u32le(bytes.data() + kMasksOffset + 4 * i);
  }
  return true;
}

// The masks of a 16- or 32-bit picture, read after a 40-byte header when the
// file puts them there; false (the refusal logged) when they cannot be used.
bool ReadBitfields(BmpSource& source, BmpHeader& header) {
  BmpMasks masks = DefaultBmpMasks(header.bits_per_pixel);
  const bool core = header.header_size == kCoreHeaderSize;
  if (!core && header.compression != kNoCompression) {
    if (header.compression != kBitfields && header.compression != kAlphaBitfields) {
      Refuse(FormatLogText(kBmpCompressionNotRead, static_cast<long long>(header.compression),
                           header.bits_per_pixel));
      return false;
    }
    masks = header.masks;
    if (header.header_size == kInfoHeaderSize) {
      const int count = header.compression == kAlphaBitfields ? 4 : 3;
      std::array<std::uint8_t, 16> bytes{};
      if (!source.Read(bytes.data(), static_cast<std::size_t>(count) * 4)) {
        Refuse(kColourTableCutShort);
        return false;
      }
      for (int i = 0; i < count; ++i) masks[i] = read_u32le(bytes.data() + 4 * i);
    }
  }
  if (!DescribeBitfields(masks, header.bits_per_pixel, header.fields)) {
    Refuse(FormatLogText(kBmpMasksNotUsable, BmpMasksText(masks)));
    return false;
  }
  return true;
}

// Entries beyond the 256 a picture can hold are skipped.
bool ReadColourTable(BmpSource& source, const BmpHeader& header, LogPalette& palette) {
  const bool core = header.header_size == kCoreHeaderSize;
  std::uint64_t entries = core ? 0 : header.colours_used;
  if (entries == 0 || core) entries = std::uint64_t{1} << header.bits_per_pixel;
  const int entry_size = core ? 3 : 4;
  const int kept = static_cast<int>(std::min<std::uint64_t>(entries, kMaxPaletteEntries));
  std::array<std::uint8_t, 4 * kMaxPaletteEntries> bytes{};
  if (!source.Read(bytes.data(), static_cast<std::size_t>(kept) * entry_size)) return false;
  if (!source.Skip((entries - kept) * entry_size)) return false;
  palette.count = static_cast<std::uint16_t>(kept);
  for (int i = 0; i < kept; ++i) {
    const std::uint8_t* entry = bytes.data() + i * entry_size;
    palette.entries[i] = PaletteEntry{entry[2], entry[1], entry[0], 0};
  }
  return true;
}

bool IsRunLengthCoded(const BmpHeader& header) {
  return header.compression != 0 && (header.bits_per_pixel == 4 || header.bits_per_pixel == 8);
}

std::int64_t RowBytes(int width, int bits_per_pixel) {
  switch (bits_per_pixel) {
    case 1:
      return (std::int64_t{width} + 7) / 8;
    case 4:
      return (std::int64_t{width} + 1) / 2;
    case 8:
      return width;
    case 16:
      return 2 * std::int64_t{width};
    case 24:
      return 3 * std::int64_t{width};
    case 32:
      return 4 * std::int64_t{width};
    default:
      return -1;
  }
}

struct BmpReadOptions {
  int reduction = 1;
  PictureLimit limit = PictureLimit::kClassic;
  int max_side = kMaxSide;
  PaletteEntry background{};
};

class BmpRowReader {
 public:
  // Throws std::bad_alloc when the row buffers cannot be had.
  BmpRowReader(BmpSource& source, const BmpHeader& header, int height, PaletteEntry background)
      : source_(source),
        header_(header),
        width_(header.width),
        height_(height),
        row_bytes_(RowBytes(header.width, header.bits_per_pixel)),
        pad_(static_cast<int>((4 - row_bytes_ % 4) % 4)),
        rle_(IsRunLengthCoded(header)),
        has_alpha_(header.fields.alpha.mask != 0),
        background_(background),
        raw_(static_cast<std::size_t>(row_bytes_ + pad_)),  // the stream reads the pad too
        indices_(static_cast<std::size_t>(width_) + kRowPixelSlack),
        red_(static_cast<std::size_t>(width_)),
        green_(static_cast<std::size_t>(width_)),
        blue_(static_cast<std::size_t>(width_)),
        alpha_(has_alpha_ ? static_cast<std::size_t>(width_) : 0) {
    if (rle_) decoder_.Reset(header.bits_per_pixel, width_);
  }

  // Reads every row into `image`; stops at a failed read or a cancel. False
  // on a cancel.
  bool Run(TImage& image) {
    const bool top_down = header_.height < 0;
    top_down_ = top_down;
    for (int done = 0; done < height_; ++done) {
      const int y = top_down ? done : height_ - 1 - done;
      if (!ReadRow()) return true;
      if (has_alpha_) ComposeAlpha(image, done, y);
      if (IsTrueColour(header_.bits_per_pixel)) {
        image.PutRow(0, y, red_.data(), green_.data(), blue_.data(), width_, -1);
      } else {
        image.PutRow(0, y, indices_.data(), nullptr, nullptr, width_, -1);
      }
      if (PollLongOperation(static_cast<int>(std::int64_t{done + 1} * 100 / height_))) {
        return false;
      }
    }
    return true;
  }

 private:
  bool ReadRow() {
    if (rle_) return decoder_.DecodeRow(source_, indices_.data());
    if (!source_.ReadRow(raw_.data(), static_cast<std::size_t>(row_bytes_), pad_)) return false;
    switch (header_.bits_per_pixel) {
      case 1:
        for (int i = 0; i < row_bytes_; ++i) {
          for (int bit = 0; bit < 8; ++bit) {
            indices_[std::size_t(8) * i + bit] = (raw_[i] >> (7 - bit)) & 1;
          }
        }
        break;
      case 4:
        for (int i = 0; i < row_bytes_; ++i) {
          indices_[std::size_t(2) * i] = raw_[i] >> 4;
          indices_[std::size_t(2) * i + 1] = raw_[i] & 0x0F;
        }
        break;
      case 8:
        std::copy_n(raw_.begin(), row_bytes_, indices_.begin());
        break;
      case 16:
        for (int i = 0; i < width_; ++i) SplitPixel(i, read_u16le(&raw_[std::size_t(2) * i]));
        break;
      case 32:
        for (int i = 0; i < width_; ++i) SplitPixel(i, read_u32le(&raw_[std::size_t(4) * i]));
        break;
      default:
        for (int i = 0; i < width_; ++i) {
          blue_[i] = raw_[std::size_t(3) * i];
          green_[i] = raw_[std::size_t(3) * i + 1];
          red_[i] = raw_[std::size_t(3) * i + 2];
        }
        break;
    }
    return true;
  }

  void SplitPixel(int i, std::uint32_t pixel) {
    red_[i] = BmpChannelValue(header_.fields.colour[0], pixel);
    green_[i] = BmpChannelValue(header_.fields.colour[1], pixel);
    blue_[i] = BmpChannelValue(header_.fields.colour[2], pixel);
    if (has_alpha_) alpha_[i] = BmpChannelValue(header_.fields.alpha, pixel);
  }

  // Many writers leave the alpha field 0 throughout: such a picture is
  // opaque. Alpha counts from the first value that is not 0; every row read
  // before it was wholly transparent and becomes the background.
  void ComposeAlpha(TImage& image, int done, int y) {
    if (!composing_) {
      if (std::all_of(alpha_.begin(), alpha_.end(), [](std::uint8_t a) { return a == 0; })) {
        return;
      }
      composing_ = true;
      FillBackground(image, top_down_ ? 0 : y + 1, top_down_ ? y : y + 1 + done);
    }
    for (int i = 0; i < width_; ++i) {
      const PaletteEntry pixel =
          ComposeColour(PaletteEntry{red_[i], green_[i], blue_[i], 0}, alpha_[i], background_);
      red_[i] = pixel.red;
      green_[i] = pixel.green;
      blue_[i] = pixel.blue;
    }
  }

  // File rows first .. end - 1 become the background colour.
  void FillBackground(TImage& image, int first, int end) {
    std::vector<std::uint8_t> red(static_cast<std::size_t>(width_), background_.red);
    std::vector<std::uint8_t> green(red.size(), background_.green);
    std::vector<std::uint8_t> blue(red.size(), background_.blue);
    for (int row = first; row < end; ++row) {
      image.PutRow(0, row, red.data(), green.data(), blue.data(), width_, -1);
    }
  }

  BmpSource& source_;
  const BmpHeader& header_;
  int width_;
  int height_;
  std::int64_t row_bytes_;
  int pad_;
  bool rle_;
  bool has_alpha_;
  bool composing_ = false;
  bool top_down_ = false;
  PaletteEntry background_;
  TBmpRleDecoder decoder_;
  std::vector<std::uint8_t> raw_;
  std::vector<std::uint8_t> indices_;
  std::vector<std::uint8_t> red_, green_, blue_, alpha_;
};

// Whether a picture of a depth already accepted can be read, before anything
// is created; a refusal is logged.
bool Acceptable(const BmpHeader& header, int max_side) {
  // A top-down height is accepted except with run-length codes, whose rows
  // are bottom-up by definition; -2^31 has no positive counterpart.
  if (header.width <= 0 || header.width > max_side || header.height == 0 ||
      header.height == std::numeric_limits<std::int32_t>::min() ||
      std::abs(header.height) > max_side) {
    Refuse(FormatLogText(kSizeNotRead, header.width, header.height));
    return false;
  }
  if (header.height < 0 && IsRunLengthCoded(header)) {
    Refuse(kBmpTopDownRunLength);
    return false;
  }
  return true;
}

LoadStatus ReadPicture(BmpSource& source, TImage& image, const BmpReadOptions& options,
                       bool has_file_header) {
  BmpHeader header;
  const std::int64_t start = source.Tell();
  if (has_file_header) {
    std::array<std::uint8_t, kFileHeaderSize> file_header{};
    if (!source.Read(file_header.data(), kFileHeaderSize)) {
      Refuse(kHeaderCutShort);
      return LoadStatus::kRefused;
    }
    header.data_position = start + read_u32le(file_header.data() + 10);
  }
  if (!ReadInfoHeader(source, header)) return LoadStatus::kRefused;
  // The depth is checked before the colour table, whose size it gives.
  if (RowBytes(1, header.bits_per_pixel) < 0) {
    Refuse(FormatLogText(kBitsPerPixelNotRead, header.bits_per_pixel));
    return LoadStatus::kRefused;
  }
  LogPalette palette;
  if (header.bits_per_pixel <= 8 && !ReadColourTable(source, header, palette)) {
    Refuse(kColourTableCutShort);
    return LoadStatus::kRefused;
  }
  if (HasBitfields(header.bits_per_pixel) && !ReadBitfields(source, header)) {
    return LoadStatus::kRefused;
  }
  // A packed 24-bit bitmap may still carry a table of colours used before its bits.
  if (!has_file_header && header.bits_per_pixel > 8 && header.header_size != kCoreHeaderSize &&
      !source.Skip(std::uint64_t{header.colours_used} * 4)) {
    Refuse(kColourTableCutShort);
    return LoadStatus::kRefused;
  }
  const bool positioned = header.data_position < 0 || source.SeekForwardTo(header.data_position);
  if (!Acceptable(header, options.max_side)) return LoadStatus::kRefused;

  const int height = std::abs(header.height);
  const bool true_colour = IsTrueColour(header.bits_per_pixel);
  image.Create(header.width, height, 1, 1, true_colour ? 3 : 1, options.reduction, 0,
               TImage::RowFill::kFill, options.limit);
  if (true_colour) {
    image.SetGreyPalette();
  } else {
    image.SetPalette(palette);
  }
  // Data that lies beyond the end of the file leaves the picture blank.
  if (!positioned) return LoadStatus::kLoaded;
  bool finished = true;
  BeginLongOperation();
  try {
    auto rows = std::make_unique<BmpRowReader>(source, header, height, options.background);
    finished = rows->Run(image);
  } catch (const std::bad_alloc&) {
    // Without row buffers the picture stays blank, as with data cut short.
  }
  EndLongOperation();
  return finished ? LoadStatus::kLoaded : LoadStatus::kCancelled;
}

}  // namespace

LoadStatus ReadBmp(InputStream* stream, TImage& image, const TProfile* settings) {
  BmpSource source(stream);
  BmpReadOptions options;
  options.reduction = ReaderReduction(settings);
  options.limit = ReaderLimit(settings);
  options.max_side = ReaderMaxSide(settings, kMaxSide);
  options.background = BackgroundColour(settings);
  return ReadPicture(source, image, options, true);
}

void ReadBmpFromMemory(TImage& image, std::span<const std::uint8_t> packed) {
  BmpSource source(packed);
  BmpReadOptions options;
  options.background = BackgroundColour(nullptr);
  ReadPicture(source, image, options, false);
}
