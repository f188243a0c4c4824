#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "archive/encoded_text.h"
#include "archive/input_stream.h"
#include "formats/format_messages.h"
#include "formats/gif_format.h"
#include "formats/gif_input.h"
#include "formats/gif_layout.h"
#include "formats/gif_lzw_decoder.h"
#include "formats/little_endian.h"
#include "formats/reader_reduction.h"
#include "image/image.h"
#include "image/picture_formats.h"
#include "platform/log_sink.h"
#include "platform/long_operation.h"

namespace {

using namespace gif;

constexpr int kMaxImageWidth = 8192;  // without FullResolution

struct ImagePlacement {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool interlaced = false;
};

// Gathers decoded pixels into rows and stores them in interlace order.
class GifRows {
 public:
  GifRows(TImage& image, const ImagePlacement& placement, int transparent)
      : image_(image),
        placement_(placement),
        transparent_(transparent),
        pass_(placement.interlaced ? 0 : kNotInterlacedPass),
        row_(kPassFirstRow[pass_]) {}

  // Room for `count` pixels in the current row, or null when they would not fit.
  std::uint8_t* Reserve(int count) {
    return filled_ + count <= placement_.width ? buffer_.data() + filled_ : nullptr;
  }
  bool Commit(int count) {
    filled_ += count;
    return filled_ < placement_.width || EmitRow();
  }
  bool Put(const std::uint8_t* pixels, int count) {
    while (count > 0) {
      const int take = std::min(count, placement_.width - filled_);
      std::memcpy(buffer_.data() + filled_, pixels, static_cast<std::size_t>(take));
      pixels += take;
      count -= take;
      if (!Commit(take)) return false;
    }
    return true;
  }
  bool Cancelled() const { return cancelled_; }

 private:
  // False once every row is stored (pixels beyond are ignored) or on a cancel.
  bool EmitRow() {
    image_.PutRow(placement_.left, placement_.top + row_, buffer_.data(), nullptr, nullptr,
                  placement_.width, transparent_);
    filled_ = 0;
    row_ += kPassStep[pass_];
    // Passes that start below the image are skipped, so short interlaced
    // images keep all their rows inside their own rectangle.
    while (row_ >= placement_.height && pass_ < kNotInterlacedPass - 1) {
      ++pass_;
      row_ = kPassFirstRow[pass_];
    }
    ++emitted_;
    cancelled_ =
        PollLongOperation(static_cast<int>(std::int64_t{emitted_} * 100 / placement_.height));
    return !cancelled_ && emitted_ < placement_.height;
  }

  TImage& image_;
  ImagePlacement placement_;
  int transparent_;
  int pass_;
  int row_;
  int emitted_ = 0;
  int filled_ = 0;
  bool cancelled_ = false;
  std::vector<std::uint8_t> buffer_ = std::vector<std::uint8_t>(placement_.width);
};

class GifReader {
 public:
  GifReader(InputStream* stream, TImage& image, const TProfile* settings)
      : input_(stream),
        image_(image),
        reduction_(ReaderReduction(settings)),
        limit_(ReaderLimit(settings)),
        max_side_(ReaderMaxSide(settings, kGifClassicMaxSide)),
        max_image_width_(ReaderMaxSide(settings, kMaxImageWidth)) {}

  LoadStatus Run() {
    if (!ReadScreen()) return LoadStatus::kRefused;
    for (;;) {
      const int introducer = input_.Byte();
      if (introducer == kImageIntroducer) {
        if (!ReadImage()) break;
      } else if (introducer == kExtensionIntroducer) {
        if (!ReadExtension()) break;
      } else if (introducer != kBlockPadding) {
        break;  // the trailer, garbage or the end of the file
      }
    }
    return cancelled_ ? LoadStatus::kCancelled : LoadStatus::kLoaded;
  }

 private:
  // False (the refusal logged) when nothing can be created.
  bool ReadScreen() {
    std::array<std::uint8_t, kHeaderSize + kScreenDescriptorSize> head{};
    if (!input_.Read(head.data(), static_cast<int>(head.size())) || head[0] != 'G' ||
        head[1] != 'I' || head[2] != 'F') {
      LogLine(kGifRefusedLine, kHeaderCutShort);
      return false;
    }
    const std::uint8_t* screen = head.data() + kHeaderSize;
    const int screen_width = read_u16le(screen);
    const int screen_height = read_u16le(screen + 2);
    const int flags = screen[4];
    const int background = screen[5];
    global_size_field_ = flags & kTableSizeMask;
    const int entries = 2 << global_size_field_;
    if (flags & kColourTableFlag) {
      if (!ReadColourTable(entries, global_)) {
        LogLine(kGifRefusedLine, kColourTableCutShort);
        return false;
      }
    } else {
      global_.count = static_cast<std::uint16_t>(entries);
      for (int i = 0; i < entries; ++i) {
        const auto grey = static_cast<std::uint8_t>(i * 255 / (entries - 1));
        global_.entries[i] = PaletteEntry{grey, grey, grey, 0};
      }
    }
    if (screen_width > max_side_ || screen_height > max_side_) {
      LogLine(kGifRefusedLine, FormatLogText(kGifScreenTooLarge, screen_width, screen_height));
      return false;
    }
    image_.Create(screen_width, screen_height, 1, 1, 1, reduction_,
                  static_cast<std::uint8_t>(background), TImage::RowFill::kFill, limit_);
    image_.SetPalette(global_);
    return true;
  }

  bool ReadColourTable(int entries, LogPalette& table) {
    std::array<std::uint8_t, 3 * kMaxPaletteEntries> bytes{};
    if (!input_.Read(bytes.data(), 3 * entries)) return false;
    table.count = static_cast<std::uint16_t>(entries);
    for (int i = 0; i < entries; ++i) {
      table.entries[i] = PaletteEntry{bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2], 0};
    }
    return true;
  }

  bool ReadImage() {
    std::array<std::uint8_t, kImageDescriptorSize> descriptor{};
    if (!input_.Read(descriptor.data(), kImageDescriptorSize)) return false;
    ImagePlacement placement;
    placement.left = read_u16le(descriptor.data());
    placement.top = read_u16le(descriptor.data() + 2);
    placement.width = read_u16le(descriptor.data() + 4);
    placement.height = read_u16le(descriptor.data() + 6);
    const int flags = descriptor[8];
    placement.interlaced = (flags & kInterlaceFlag) != 0;
    LogPalette table = global_;
    if ((flags & kColourTableFlag) && !ReadColourTable(2 << (flags & kTableSizeMask), table)) {
      return false;
    }
    image_.SetPalette(table);
    const int min_code_size = input_.Byte();
    if (min_code_size < 0 || placement.width > max_image_width_) return false;

    const int transparent = transparent_;
    transparent_ = -1;
    GifDataBits data(input_);
    if (placement.width == 0 || placement.height == 0) return data.SkipRest();
    auto decoder = std::unique_ptr<TGifLzwDecoder>(new (std::nothrow) TGifLzwDecoder);
    auto rows =
        std::unique_ptr<GifRows>(new (std::nothrow) GifRows(image_, placement, transparent));
    if (!decoder || !rows || !decoder->Start(min_code_size)) return false;
    const GifDecodeResult result = decoder->Decode(data, *rows);
    cancelled_ = rows->Cancelled();
    if (result == GifDecodeResult::kCorrupt || cancelled_) return false;
    // The end code usually sits inside the last sub-block; what follows up
    // to the terminator belongs to this image too.
    return data.SkipRest();
  }

  bool ReadExtension() {
    const int label = input_.Byte();
    if (label < 0) return false;
    std::array<std::uint8_t, kTransparentIndexByte + 1> control{};
    int data_bytes = 0;
    std::array<std::uint8_t, 255> block{};
    for (;;) {
      const int length = input_.Byte();
      if (length < 0) return false;
      if (length == 0) break;
      if (!input_.Read(block.data(), length)) return false;
      for (int i = 0; i < length; ++i, ++data_bytes) {
        if (label == kCommentLabel && block[i] != 0) AddCommentChar(block[i]);
        if (data_bytes < static_cast<int>(control.size())) control[data_bytes] = block[i];
      }
    }
    if (label == kGraphicControlLabel && data_bytes > 0) {
      // A two-entry global table never has a transparent colour.
      const bool transparent = (control[0] & kTransparentFlag) && global_size_field_ > 0;
      transparent_ = transparent ? 0 : -1;
      if (transparent && data_bytes > kTransparentIndexByte) {
        transparent_ = control[kTransparentIndexByte];
      }
    }
    return true;
  }

  GifInput input_;
  TImage& image_;
  int reduction_;
  PictureLimit limit_;
  int max_side_;
  int max_image_width_;
  LogPalette global_;
  int global_size_field_ = 0;
  int transparent_ = -1;
  bool cancelled_ = false;
};

}  // namespace

LoadStatus ReadGif(InputStream* stream, TImage& image, const TProfile* settings) {
  LoadStatus status = LoadStatus::kRefused;
  BeginLongOperation();
  if (auto reader =
          std::unique_ptr<GifReader>(new (std::nothrow) GifReader(stream, image, settings))) {
    status = reader->Run();
  }
  EndLongOperation();
  return status;
}
