#include <webp/decode.h>
#include <webp/demux.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "archive/input_stream.h"
#include "formats/alpha_background.h"
#include "formats/format_messages.h"
#include "formats/reader_reduction.h"
#include "formats/webp.h"
#include "image/image.h"
#include "platform/file_buffer.h"
#include "platform/log_sink.h"
#include "platform/long_operation.h"

namespace {

// The whole file is held while it decodes; a larger one is refused.
constexpr std::size_t kMaxFileMiB = 512;
constexpr std::size_t kMaxFileBytes = kMaxFileMiB << 20;
// Bytes handed to the decoder between two polls.
constexpr std::size_t kDecodeStep = 16384;

const char* StatusText(VP8StatusCode status) {
  switch (status) {
    case VP8_STATUS_OUT_OF_MEMORY:
      return "out of memory";
    case VP8_STATUS_INVALID_PARAM:
      return "invalid parameter";
    case VP8_STATUS_BITSTREAM_ERROR:
      return "bitstream error";
    case VP8_STATUS_UNSUPPORTED_FEATURE:
      return "unsupported feature";
    default:
      return "damaged data";
  }
}

// False when the file is larger than the reader holds (nothing is logged).
bool ReadWholeStream(InputStream* stream, std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> chunk(kFileBufferSize);
  for (;;) {
    const std::size_t got = stream_read(chunk.data(), 1, chunk.size(), stream);
    if (got == 0) return true;
    if (data.size() + got > kMaxFileBytes) return false;
    data.insert(data.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(got));
  }
}

// The demuxer over the file and its first frame; released together.
class TWebpFrame {
 public:
  TWebpFrame() = default;
  TWebpFrame(const TWebpFrame&) = delete;
  TWebpFrame& operator=(const TWebpFrame&) = delete;
  ~TWebpFrame() {
    if (has_frame_) WebPDemuxReleaseIterator(&frame_);
    WebPDemuxDelete(demux_);
  }

  // False (logged) when the header is damaged, or it and the start of the
  // first frame are not all there.
  bool Open(const std::vector<std::uint8_t>& data) {
    const WebPData whole{data.data(), data.size()};
    WebPDemuxState state = WEBP_DEMUX_PARSE_ERROR;
    demux_ = WebPDemuxPartial(&whole, &state);
    if (state == WEBP_DEMUX_PARSE_ERROR) {
      LogLine(kWebpErrorLine, kWebpHeaderNotRead);
      return false;
    }
    if (demux_ != nullptr && state >= WEBP_DEMUX_PARSED_HEADER) {
      has_frame_ = WebPDemuxGetFrame(demux_, 1, &frame_) != 0;
    }
    if (!has_frame_ || frame_.fragment.size == 0) {
      LogLine(kWebpErrorLine, kHeaderCutShort);
      return false;
    }
    return true;
  }
  int CanvasWidth() const { return static_cast<int>(WebPDemuxGetI(demux_, WEBP_FF_CANVAS_WIDTH)); }
  int CanvasHeight() const {
    return static_cast<int>(WebPDemuxGetI(demux_, WEBP_FF_CANVAS_HEIGHT));
  }
  const WebPIterator& Frame() const { return frame_; }

 private:
  WebPDemuxer* demux_ = nullptr;
  WebPIterator frame_{};
  bool has_frame_ = false;
};

// The incremental decoder and its output; released together.
class TWebpDecode {
 public:
  TWebpDecode() { WebPInitDecoderConfig(&config_); }
  TWebpDecode(const TWebpDecode&) = delete;
  TWebpDecode& operator=(const TWebpDecode&) = delete;
  ~TWebpDecode() {
    if (decoder_ != nullptr) WebPIDelete(decoder_);
    WebPFreeDecBuffer(&config_.output);
  }

  WebPDecoderConfig& Config() { return config_; }
  bool Start() {
    decoder_ = WebPIDecode(nullptr, 0, &config_);
    return decoder_ != nullptr;
  }
  // The first `size` bytes of the data, as far as they have come.
  VP8StatusCode Update(const std::uint8_t* data, std::size_t size) {
    return WebPIUpdate(decoder_, data, size);
  }
  // Rows decoded so far, and their memory.
  int DecodedRows(std::uint8_t*& pixels, int& stride) const {
    int rows = 0;
    int width = 0;
    int height = 0;
    pixels = WebPIDecGetRGB(decoder_, &rows, &width, &height, &stride);
    return pixels != nullptr ? rows : 0;
  }

 private:
  WebPDecoderConfig config_;
  WebPIDecoder* decoder_ = nullptr;
};

// Where the frame lands in the stored picture.
struct FramePlacement {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool alpha = false;
  bool direct = false;  // the decoder writes the picture's own rows
};

FramePlacement PlaceFrame(const WebPIterator& frame, const TImage& image, int canvas_width,
                          int canvas_height) {
  const int step = image.reduction;
  FramePlacement place;
  place.x = frame.x_offset / step;
  place.y = frame.y_offset / step;
  place.width = std::max(frame.width / step, 1);
  place.height = std::max(frame.height / step, 1);
  place.alpha = frame.has_alpha != 0;
  place.direct = !place.alpha && frame.x_offset == 0 && frame.y_offset == 0 &&
                 frame.width == canvas_width && frame.height == canvas_height &&
                 place.width == image.width && place.height == image.height;
  return place;
}

void FillBackground(TImage& image, PaletteEntry background) {
  for (int y = 0; y < image.height; ++y) {
    std::uint8_t* row = image.Row(y);
    for (int x = 0; x < image.width; ++x, row += 3) {
      row[0] = background.blue;
      row[1] = background.green;
      row[2] = background.red;
    }
  }
}

void Configure(WebPDecoderConfig& config, const FramePlacement& place, const TImage& image,
               const WebPIterator& frame) {
  config.options.use_threads = 1;
  if (place.width != frame.width || place.height != frame.height) {
    config.options.use_scaling = 1;
    config.options.scaled_width = place.width;
    config.options.scaled_height = place.height;
  }
  config.output.colorspace = place.alpha ? MODE_BGRA : MODE_BGR;
  if (!place.direct) return;
  // The bitmap is stored bottom-up: the decoder starts at its last row.
  config.options.flip = 1;
  config.output.is_external_memory = 1;
  config.output.u.RGBA.rgba = const_cast<std::uint8_t*>(image.Row(image.height - 1));
  config.output.u.RGBA.stride = image.Stride();
  config.output.u.RGBA.size = static_cast<std::size_t>(image.Stride()) * image.height;
}

// Copies (or composes) the rows the decoder finished into the picture.
void StoreDecodedRows(const TWebpDecode& decode, const FramePlacement& place, TImage& image,
                      PaletteEntry background) {
  if (place.direct) return;
  std::uint8_t* pixels = nullptr;
  int stride = 0;
  const int rows = decode.DecodedRows(pixels, stride);
  const int width = std::min(place.width, image.width - place.x);
  for (int y = 0; y < rows && place.y + y < image.height && width > 0; ++y) {
    const std::uint8_t* source = pixels + static_cast<std::ptrdiff_t>(stride) * y;
    std::uint8_t* target = image.Row(place.y + y) + std::size_t(3) * place.x;
    if (place.alpha) {
      ComposeBgraRow(source, width, 1, background, target);
    } else {
      std::memcpy(target, source, std::size_t(3) * width);
    }
  }
}

// Feeds the frame to the decoder a step at a time; false on a cancel.
bool DecodeFrame(TWebpDecode& decode, const WebPIterator& frame) {
  const auto* data = frame.fragment.bytes;
  const std::size_t size = frame.fragment.size;
  VP8StatusCode status = VP8_STATUS_SUSPENDED;
  for (std::size_t fed = 0; fed < size && status == VP8_STATUS_SUSPENDED;) {
    fed = std::min(size, fed + kDecodeStep);
    status = decode.Update(data, fed);
    if (PollLongOperation(static_cast<int>(fed * 100 / size))) return false;
  }
  if (status == VP8_STATUS_SUSPENDED) {
    LogLine(kWebpErrorLine, kFileEndsEarly);
  } else if (status != VP8_STATUS_OK) {
    LogLine(kWebpErrorLine, FormatLogText(kWebpNotDecoded, StatusText(status)));
  }
  return true;
}

struct WebpLoad {
  std::vector<std::uint8_t> data;
  TWebpFrame frame;
  TWebpDecode decode;
};

LoadStatus LoadWebp(InputStream* stream, TImage& image, const TProfile* settings) {
  auto load = std::unique_ptr<WebpLoad>(new (std::nothrow) WebpLoad);
  if (!load) return LoadStatus::kRefused;
  if (!ReadWholeStream(stream, load->data)) {
    LogLine(kWebpErrorLine, FormatLogText(kWebpFileTooLarge, static_cast<int>(kMaxFileMiB)));
    return LoadStatus::kRefused;
  }
  if (!load->frame.Open(load->data)) return LoadStatus::kRefused;
  const int canvas_width = load->frame.CanvasWidth();
  const int canvas_height = load->frame.CanvasHeight();
  const WebPIterator& frame = load->frame.Frame();
  if (canvas_width < 1 || canvas_height < 1 || frame.width < 1 || frame.height < 1) {
    LogLine(kWebpErrorLine, FormatLogText(kSizeNotRead, canvas_width, canvas_height));
    return LoadStatus::kRefused;
  }
  image.Create(canvas_width, canvas_height, 1, 1, 3, ReaderReduction(settings), 0,
               TImage::RowFill::kFill, ReaderLimit(settings));
  const FramePlacement place = PlaceFrame(frame, image, canvas_width, canvas_height);
  const PaletteEntry background = BackgroundColour(settings);
  if (!place.direct) FillBackground(image, background);
  Configure(load->decode.Config(), place, image, frame);
  if (!load->decode.Start()) {
    LogLine(kWebpErrorLine, FormatLogText(kWebpNotDecoded, StatusText(VP8_STATUS_OUT_OF_MEMORY)));
    return LoadStatus::kLoaded;
  }
  const bool finished = DecodeFrame(load->decode, frame);
  StoreDecodedRows(load->decode, place, image, background);
  return finished ? LoadStatus::kLoaded : LoadStatus::kCancelled;
}

}  // namespace

LoadStatus ReadWebp(InputStream* stream, TImage& image, const TProfile* settings) {
  BeginLongOperation();
  const LoadStatus status = LoadWebp(stream, image, settings);
  EndLongOperation();
  return status;
}
