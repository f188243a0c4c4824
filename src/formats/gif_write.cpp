#include <algorithm>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "formats/format_messages.h"
#include "formats/gif_format.h"
#include "formats/gif_lzw_encoder.h"
#include "formats/little_endian.h"
#include "formats/output_file.h"
#include "formats/writer_output.h"
#include "image/dither.h"
#include "image/image.h"
#include "platform/log_sink.h"
#include "platform/long_operation.h"
#include "settings/profile.h"

namespace {

constexpr int kMaxGifColours = 256;
constexpr int kMinLiteralTableBits = 7;  // keeps literal runs at 126 codes or more
constexpr int kMinCodeSizeFloor = 2;
constexpr int kGlobalTableFlag = 0x80;
constexpr int kInterlaceFlag = 0x40;
constexpr int kMaxSubBlock = 255;
constexpr std::uint8_t kExtensionIntroducer = 0x21;
constexpr std::uint8_t kCommentLabel = 0xFE;
constexpr std::uint8_t kGraphicControlLabel = 0xF9;
constexpr std::uint8_t kImageIntroducer = 0x2C;
constexpr std::uint8_t kTrailer = 0x3B;

struct GifWriteJob final : GifPacketSink {
  TOutputFile& file;
  TImage& image;
  TDither& dither;
  bool transparent_on = false;
  bool interlaced = false;
  bool compress = true;
  int transparent_index = 0;
  std::string comment;
  bool failed = false;
  TGifLzwEncoder encoder;

  GifWriteJob(TOutputFile& out, TImage& picture, TDither& adjustments)
      : file(out), image(picture), dither(adjustments) {}

  bool WritePacket(const std::uint8_t* bytes, int count) override {
    file.PutByte(static_cast<std::uint8_t>(count));
    return file.Write(bytes, static_cast<std::size_t>(count));
  }

  // Logs the error once; the pipeline then stops.
  bool Fail(std::string_view message) {
    if (!failed) LogLine(kJpegErrorLine, message);
    failed = true;
    return false;
  }
};

int TableBits(int colours, bool compress) {
  int bits = 1;
  while ((1 << bits) < colours) ++bits;
  if (!compress && bits < kMinLiteralTableBits) bits = kMinLiteralTableBits;
  return bits;
}

// The transparent index names a colour of the picture's own palette; when the
// picture is quantized it moves to the nearest colour of the new map.
int MapTransparentIndex(const GifWriteJob& job, int count, const std::uint8_t* red,
                        const std::uint8_t* green, const std::uint8_t* blue) {
  if (job.image.GetBytesPerPixel() != 1) return job.transparent_index;
  LogPalette source;
  job.dither.GetSourcePalette(source);
  if (source.count <= count) return job.transparent_index;
  const PaletteEntry& wanted = source.entries[job.transparent_index];
  int best = 0;
  int best_distance = 1 << 30;
  for (int i = 0; i < count; ++i) {
    const int dr = red[i] - wanted.red, dg = green[i] - wanted.green, db = blue[i] - wanted.blue;
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < best_distance) {
      best_distance = distance;
      best = i;
    }
  }
  return best;
}

void AppendComment(std::vector<std::uint8_t>& out, const std::string& text) {
  out.push_back(kExtensionIntroducer);
  out.push_back(kCommentLabel);
  for (std::size_t at = 0; at < text.size(); at += kMaxSubBlock) {
    const std::size_t length = std::min<std::size_t>(kMaxSubBlock, text.size() - at);
    out.push_back(static_cast<std::uint8_t>(length));
    out.insert(out.end(), text.begin() + static_cast<std::ptrdiff_t>(at),
               text.begin() + static_cast<std::ptrdiff_t>(at + length));
  }
  out.push_back(0);
}

bool BeginImage(void* context) {
  // The encoder's tables live in the job, allocated with it.
  return context != nullptr;
}

bool WriteHeader(void* context, int count, const std::uint8_t* red, const std::uint8_t* green,
                 const std::uint8_t* blue) {
  auto& job = *static_cast<GifWriteJob*>(context);
  if (count > kMaxGifColours) return job.Fail(kGifTooManyColoursError);
  const int bits = TableBits(count, job.compress);
  const int min_code_size = std::max(bits, kMinCodeSizeFloor);
  const int width = job.image.outputRect.width;
  const int height = job.image.outputRect.height;

  std::vector<std::uint8_t> head = {
      'G', 'I', 'F', '8', static_cast<std::uint8_t>(job.transparent_on ? '9' : '7'), 'a'};
  put_u16le(head, static_cast<std::uint32_t>(width));
  put_u16le(head, static_cast<std::uint32_t>(height));
  head.push_back(static_cast<std::uint8_t>(kGlobalTableFlag | (bits - 1) << 4 | (bits - 1)));
  head.push_back(0);  // background index
  head.push_back(0);  // pixel aspect
  for (int j = 0; j < (1 << bits); ++j) {
    const bool used = j < count;
    head.push_back(used ? red[j] : 0);
    head.push_back(used ? green[j] : 0);
    head.push_back(used ? blue[j] : 0);
  }
  if (!job.comment.empty()) AppendComment(head, job.comment);
  if (job.transparent_on) {
    const int index = MapTransparentIndex(job, count, red, green, blue);
    head.insert(head.end(), {kExtensionIntroducer, kGraphicControlLabel, 0x04, 0x01, 0x00, 0x00,
                             static_cast<std::uint8_t>(index), 0x00});
  }
  head.push_back(kImageIntroducer);
  put_u16le(head, 0);
  put_u16le(head, 0);
  put_u16le(head, static_cast<std::uint32_t>(width));
  put_u16le(head, static_cast<std::uint32_t>(height));
  head.push_back(job.interlaced ? kInterlaceFlag : 0);
  head.push_back(static_cast<std::uint8_t>(min_code_size));
  if (!job.file.Write(head.data(), head.size())) return job.Fail(kOutputWriteError);
  job.encoder.Start(min_code_size + 1, job.compress, job);
  return true;
}

bool WritePixels(void* context, const std::uint8_t* indices, int count) {
  auto& job = *static_cast<GifWriteJob*>(context);
  job.encoder.Put(indices, count);
  if (job.encoder.Failed()) return job.Fail(kOutputWriteError);
  return true;
}

void EndImage(void* context) {
  auto& job = *static_cast<GifWriteJob*>(context);
  job.encoder.Finish();
  const std::uint8_t tail[] = {0x00, kTrailer};
  job.file.Write(tail, sizeof tail);
  if (job.encoder.Failed() || !job.file.Flush()) job.Fail(kOutputWriteError);
}

}  // namespace

int WriteGif(const std::string& path, TImage& image, const TProfile& settings, TDither& dither,
             const LogPalette*) {
  TOutputFile file;
  if (!file.Create(path)) return 1;
  auto job = std::unique_ptr<GifWriteJob>(new (std::nothrow) GifWriteJob(file, image, dither));
  if (!job) {
    file.Discard();
    return 1;
  }
  SetWriterOutputSize(image, settings);
  job->transparent_on = settings.Get(IntKey::GIFTransparent) != 0;
  job->interlaced = settings.Get(IntKey::GIFInterlaced) != 0;
  job->compress = settings.Get(IntKey::GIFLZWEnable) != 0;
  if (job->transparent_on) job->transparent_index = image.BorderColour();
  job->comment = GetCommentText();

  QuantizeSink sink;
  sink.begin = BeginImage;
  sink.colour_map = WriteHeader;
  sink.pixel_row = WritePixels;
  sink.end = EndImage;
  sink.context = job.get();
  BeginLongOperation();
  const int result =
      QuantizeToOutput(image, &dither, job->interlaced,
                       std::clamp(settings.Get(IntKey::GIFColors), 2, kMaxGifColours), sink);
  // A cancelled save leaves an unfinished picture: it is not reported as saved.
  const bool cancelled = IsCancelRequested();
  EndLongOperation();
  if (result != 0 || job->failed || cancelled) {
    file.Discard();
    return 1;
  }
  if (!file.Close()) {
    job->Fail(kOutputWriteError);
    return 1;
  }
  return 0;
}
