#include "formats/gif_frame_list.h"

#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>

#include "archive/input_stream.h"
#include "formats/format_messages.h"
#include "formats/gif_input.h"
#include "formats/gif_layout.h"
#include "formats/little_endian.h"
#include "platform/log_sink.h"

namespace {

using namespace gif;

constexpr int kLoopSubBlockId = 1;

constexpr std::array<std::string_view, 2> kLoopApplications = {"NETSCAPE2.0", "ANIMEXTS1.0"};

// What a graphic control extension says about the image after it.
struct FrameControl {
  int delay_centiseconds = 0;
  GifDisposal disposal = GifDisposal::kNone;
  int transparent = -1;
};

GifDisposal DisposalOf(int field) {
  switch (field) {
    case 2:
      return GifDisposal::kBackground;
    case 3:
      return GifDisposal::kPrevious;
    default:
      return GifDisposal::kNone;  // 0, 1 and the undefined 4..7
  }
}

class FrameScanner {
 public:
  FrameScanner(InputStream* stream, GifFrameList& list, int max_side)
      : input_(stream), list_(list), max_side_(max_side) {}

  bool Run() {
    if (!ReadScreen()) return false;
    for (;;) {
      const int introducer = input_.Byte();
      if (introducer == kImageIntroducer) {
        if (static_cast<int>(list_.frames.size()) == kMaxGifFrames) {
          LogLine(kGifRefusedLine, FormatLogText(kGifTooManyFrames, kMaxGifFrames));
          return false;
        }
        if (!ReadImage()) break;
      } else if (introducer == kExtensionIntroducer) {
        if (!ReadExtension()) break;
      } else if (introducer != kBlockPadding) {
        break;  // the trailer, garbage or the end of the file
      }
    }
    return true;
  }

 private:
  bool ReadScreen() {
    std::array<std::uint8_t, kHeaderSize + kScreenDescriptorSize> head{};
    if (!input_.Read(head.data(), static_cast<int>(head.size())) ||
        std::memcmp(head.data(), "GIF", 3) != 0) {
      LogLine(kGifRefusedLine, kHeaderCutShort);
      return false;
    }
    const std::uint8_t* screen = head.data() + kHeaderSize;
    list_.screen_width = read_u16le(screen);
    list_.screen_height = read_u16le(screen + 2);
    const int flags = screen[4];
    list_.background = screen[5];
    const int entries = 2 << (flags & kTableSizeMask);
    LogPalette& global = list_.global;
    global.count = static_cast<std::uint16_t>(entries);
    if (flags & kColourTableFlag) {
      std::array<std::uint8_t, 3 * kMaxPaletteEntries> bytes{};
      if (!input_.Read(bytes.data(), 3 * entries)) {
        LogLine(kGifRefusedLine, kColourTableCutShort);
        return false;
      }
      for (int i = 0; i < entries; ++i) {
        global.entries[i] = PaletteEntry{bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2], 0};
      }
    } else {
      for (int i = 0; i < entries; ++i) {
        const auto grey = static_cast<std::uint8_t>(i * 255 / (entries - 1));
        global.entries[i] = PaletteEntry{grey, grey, grey, 0};
      }
    }
    if (list_.screen_width > max_side_ || list_.screen_height > max_side_) {
      LogLine(kGifRefusedLine,
              FormatLogText(kGifScreenTooLarge, list_.screen_width, list_.screen_height));
      return false;
    }
    return list_.screen_width > 0 && list_.screen_height > 0;
  }

  // False when the scan ends here: the descriptor or its table is cut short
  // (no frame), or the data is (the frame is kept).
  bool ReadImage() {
    GifFrame frame;
    frame.descriptor_offset = input_.Position();
    std::array<std::uint8_t, kImageDescriptorSize> descriptor{};
    if (!input_.Read(descriptor.data(), kImageDescriptorSize)) return false;
    frame.left = read_u16le(descriptor.data());
    frame.top = read_u16le(descriptor.data() + 2);
    frame.width = read_u16le(descriptor.data() + 4);
    frame.height = read_u16le(descriptor.data() + 6);
    const int flags = descriptor[8];
    if ((flags & kColourTableFlag) && !input_.Skip(3 * (2 << (flags & kTableSizeMask)))) {
      return false;
    }
    if (input_.Byte() < 0) return false;  // the minimum code size
    frame.delay_centiseconds = control_.delay_centiseconds;
    frame.disposal = control_.disposal;
    frame.transparent = control_.transparent;
    control_ = FrameControl{};
    list_.frames.push_back(frame);
    GifDataBits data(input_);
    return data.SkipRest();
  }

  bool ReadExtension() {
    const int label = input_.Byte();
    if (label < 0) return false;
    std::array<std::uint8_t, 255> block{};
    bool first = true;
    bool loop_application = false;
    for (;;) {
      const int length = input_.Byte();
      if (length < 0) return false;
      if (length == 0) return true;
      if (!input_.Read(block.data(), length)) return false;
      if (label == kGraphicControlLabel && first) ReadControl(block.data(), length);
      if (label == kApplicationLabel) {
        if (first) {
          loop_application = IsLoopApplication(block.data(), length);
        } else if (loop_application && length >= 3 && block[0] == kLoopSubBlockId) {
          list_.loop_count = read_u16le(block.data() + 1);
        }
      }
      first = false;
    }
  }

  void ReadControl(const std::uint8_t* data, int length) {
    control_ = FrameControl{};
    control_.disposal = DisposalOf((data[0] >> kDisposalShift) & kDisposalMask);
    if (length >= 3) control_.delay_centiseconds = read_u16le(data + 1);
    if ((data[0] & kTransparentFlag) && length >= 4) control_.transparent = data[3];
  }

  static bool IsLoopApplication(const std::uint8_t* data, int length) {
    for (std::string_view name : kLoopApplications) {
      if (length == static_cast<int>(name.size()) &&
          std::memcmp(data, name.data(), name.size()) == 0) {
        return true;
      }
    }
    return false;
  }

  GifInput input_;
  GifFrameList& list_;
  int max_side_;
  FrameControl control_;
};

}  // namespace

bool ScanGifFrames(InputStream* stream, GifFrameList& list, int max_side) {
  auto scanner =
      std::unique_ptr<FrameScanner>(new (std::nothrow) FrameScanner(stream, list, max_side));
  return scanner && scanner->Run();
}

bool SeekGifSignature(InputStream* stream) {
  std::array<std::uint8_t, kGifSignatureWindow> head{};
  const long start = stream_tell(stream);
  if (start < 0) return false;
  const std::size_t got = stream_read(head.data(), 1, head.size(), stream);
  for (std::size_t i = 0; i + kHeaderSize <= got; ++i) {
    if (std::memcmp(head.data() + i, "GIF87a", kHeaderSize) == 0 ||
        std::memcmp(head.data() + i, "GIF89a", kHeaderSize) == 0) {
      return stream_seek(stream, start + static_cast<long>(i), 0) == 0;
    }
  }
  return false;
}
