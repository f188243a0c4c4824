#include "formats/gif_animation.h"

#include <algorithm>
#include <array>
#include <new>

#include "archive/input_stream.h"
#include "formats/gif_format.h"
#include "formats/gif_input.h"
#include "formats/gif_layout.h"
#include "formats/gif_lzw_decoder.h"
#include "formats/reader_reduction.h"
#include "image/image.h"

namespace {

using namespace gif;

constexpr int kBytesPerPixel = 3;

// Browsers show frames that ask for 0 or 1 centiseconds for 10, since
// files made for them count on it; so does this player.
constexpr int kShortestDelayCentiseconds = 2;
constexpr int kDefaultDelayCentiseconds = 10;

// The picture pixels (x / reduction) that stand for screen columns
// first .. end - 1: those whose column is a multiple of the reduction.
struct PictureSpan {
  int first = 0;
  int end = 0;
};
PictureSpan SpanOf(int first, int end, int reduction, int picture_size) {
  const int from = (std::max(first, 0) + reduction - 1) / reduction;
  const int to = std::min((std::max(end, 0) + reduction - 1) / reduction, picture_size);
  return PictureSpan{from, std::max(from, to)};
}

// Decoded rows of one frame, stored straight onto the picture: clipped to
// it, every reduction-th row and column, transparent pixels left alone.
class FrameRows {
 public:
  FrameRows(TImage& image, const GifFrame& frame, bool interlaced, const LogPalette& table,
            int reduction)
      : image_(image),
        frame_(frame),
        table_(table),
        reduction_(reduction),
        pass_(interlaced ? 0 : kNotInterlacedPass),
        row_(kPassFirstRow[pass_]),
        buffer_(static_cast<std::size_t>(frame.width)) {}

  std::uint8_t* Reserve(int count) {
    return filled_ + count <= frame_.width ? buffer_.data() + filled_ : nullptr;
  }
  bool Commit(int count) {
    filled_ += count;
    return filled_ < frame_.width || EmitRow();
  }
  bool Put(const std::uint8_t* pixels, int count) {
    while (count > 0) {
      const int take = std::min(count, frame_.width - filled_);
      std::copy(pixels, pixels + take, buffer_.begin() + filled_);
      pixels += take;
      count -= take;
      if (!Commit(take)) return false;
    }
    return true;
  }

 private:
  // False once every row is stored; pixels beyond are ignored.
  bool EmitRow() {
    StoreRow(frame_.top + row_);
    filled_ = 0;
    row_ += kPassStep[pass_];
    while (row_ >= frame_.height && pass_ < kNotInterlacedPass - 1) {
      ++pass_;
      row_ = kPassFirstRow[pass_];
    }
    return ++emitted_ < frame_.height;
  }
  void StoreRow(int screen_y) {
    if (screen_y % reduction_ != 0) return;
    std::uint8_t* out = image_.Row(screen_y / reduction_);
    if (out == nullptr) return;
    const PictureSpan span =
        SpanOf(frame_.left, frame_.left + frame_.width, reduction_, image_.width);
    for (int x = span.first; x < span.end; ++x) {
      const int index = buffer_[static_cast<std::size_t>(x * reduction_ - frame_.left)];
      if (index == frame_.transparent) continue;
      const PaletteEntry& colour = table_.entries[static_cast<std::size_t>(index)];
      std::uint8_t* pixel = out + static_cast<std::ptrdiff_t>(x) * kBytesPerPixel;
      pixel[0] = colour.blue;
      pixel[1] = colour.green;
      pixel[2] = colour.red;
    }
  }

  TImage& image_;
  const GifFrame& frame_;
  const LogPalette& table_;
  int reduction_;
  int pass_;
  int row_;
  int emitted_ = 0;
  int filled_ = 0;
  std::vector<std::uint8_t> buffer_;
};

}  // namespace

std::unique_ptr<TGifAnimation> TGifAnimation::Open(const std::string& path,
                                                   const TProfile* settings) {
  InputStream* stream = stream_open(path.c_str(), "rb");
  if (stream == nullptr) return nullptr;
  std::unique_ptr<TGifAnimation> animation(
      new (std::nothrow) TGifAnimation(stream, ReaderReduction(settings), ReaderLimit(settings)));
  if (!animation) {
    stream_close(stream);
    return nullptr;
  }
  if (!animation->decoder_ || !SeekGifSignature(stream)) return nullptr;
  animation->input_.reset(new (std::nothrow) GifInput(stream));
  if (!animation->input_) return nullptr;
  if (!ScanGifFrames(stream, animation->list_, ReaderMaxSide(settings, kGifClassicMaxSide)) ||
      animation->FrameCount() < 2) {
    return nullptr;
  }
  return animation;
}

TGifAnimation::TGifAnimation(InputStream* stream, int reduction, PictureLimit limit)
    : stream_(stream),
      decoder_(new (std::nothrow) TGifLzwDecoder),
      reduction_(reduction),
      limit_(limit) {}

TGifAnimation::~TGifAnimation() {
  stream_close(stream_);
}

int TGifAnimation::DelayOf(int frame) const {
  if (frame < 0 || frame >= FrameCount()) return 0;
  const int centiseconds = list_.frames[static_cast<std::size_t>(frame)].delay_centiseconds;
  return 10 *
         (centiseconds < kShortestDelayCentiseconds ? kDefaultDelayCentiseconds : centiseconds);
}

void TGifAnimation::Start(TImage& image, std::uint32_t now) {
  image.Create(list_.screen_width, list_.screen_height, 1, 1, kBytesPerPixel, reduction_, 0,
               TImage::RowFill::kFill, limit_);
  // Create may have reduced further than asked.
  reduction_ = std::max(1, image.reduction);
  current_ = -1;
  plays_ = 0;
  stopped_ = false;
  ShowFrame(image, 0);
  due_ = now + static_cast<std::uint32_t>(DelayOf(0));
}

bool TGifAnimation::Tick(TImage& image, std::uint32_t now) {
  if (current_ < 0) return false;
  // Every frame whose time has come is composed in turn, so the picture
  // shows the frame due now; after a whole loop behind, it starts afresh.
  bool changed = false;
  for (int step = 0; step < FrameCount() && Due(now); ++step) changed |= Advance(image);
  if (Due(now)) due_ = now + static_cast<std::uint32_t>(DelayOf(current_));
  return changed;
}

bool TGifAnimation::Due(std::uint32_t now) const {
  return !stopped_ && static_cast<std::int32_t>(now - due_) >= 0;
}

bool TGifAnimation::Advance(TImage& image) {
  int next = current_ + 1;
  if (next == FrameCount()) {
    ++plays_;
    // A NETSCAPE2.0 count says how often the animation repeats after its
    // first play, as browsers read it.
    const bool more =
        list_.loop_count == 0 || (list_.loop_count != kGifPlayOnce && plays_ <= list_.loop_count);
    if (!more) {
      stopped_ = true;
      return false;
    }
    next = 0;
  }
  ShowFrame(image, next);
  due_ += static_cast<std::uint32_t>(DelayOf(next));
  return true;
}

void TGifAnimation::ShowFrame(TImage& image, int frame) {
  if (frame == 0) {
    FillScreenArea(image, GifFrame{0, 0, 0, list_.screen_width, list_.screen_height});
    saved_.clear();
  } else {
    Dispose(image, list_.frames[static_cast<std::size_t>(frame - 1)]);
  }
  const GifFrame& shown = list_.frames[static_cast<std::size_t>(frame)];
  if (shown.disposal == GifDisposal::kPrevious) SaveArea(image, shown);
  DecodeFrame(image, shown);
  current_ = frame;
}

void TGifAnimation::Dispose(TImage& image, const GifFrame& frame) {
  switch (frame.disposal) {
    case GifDisposal::kBackground:
      FillScreenArea(image, frame);
      return;
    case GifDisposal::kPrevious:
      RestoreArea(image);
      return;
    case GifDisposal::kNone:
      return;
  }
}

void TGifAnimation::DecodeFrame(TImage& image, const GifFrame& frame) {
  if (frame.width == 0 || frame.height == 0 || !input_->Seek(frame.descriptor_offset)) return;
  std::array<std::uint8_t, kImageDescriptorSize> descriptor{};
  if (!input_->Read(descriptor.data(), kImageDescriptorSize)) return;
  const int flags = descriptor[8];
  // Indices beyond a table's entries show black.
  LogPalette table;
  if (flags & kColourTableFlag) {
    const int entries = 2 << (flags & kTableSizeMask);
    std::array<std::uint8_t, 3 * kMaxPaletteEntries> bytes{};
    if (!input_->Read(bytes.data(), 3 * entries)) return;
    table.count = static_cast<std::uint16_t>(entries);
    for (int i = 0; i < entries; ++i) {
      table.entries[i] = PaletteEntry{bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2], 0};
    }
  } else {
    table = list_.global;
  }
  const int min_code_size = input_->Byte();
  if (min_code_size < 0 || !decoder_->Start(min_code_size)) return;
  GifDataBits data(*input_);
  FrameRows rows(image, frame, (flags & kInterlaceFlag) != 0, table, reduction_);
  // Whatever ends the data early, the rows decoded so far stay.
  decoder_->Decode(data, rows);
}

void TGifAnimation::FillScreenArea(TImage& image, const GifFrame& area) {
  const PaletteEntry& colour = list_.global.entries[static_cast<std::size_t>(list_.background)];
  const PictureSpan columns = SpanOf(area.left, area.left + area.width, reduction_, image.width);
  const PictureSpan rows = SpanOf(area.top, area.top + area.height, reduction_, image.height);
  for (int y = rows.first; y < rows.end; ++y) {
    std::uint8_t* out = image.Row(y);
    if (out == nullptr) continue;
    for (int x = columns.first; x < columns.end; ++x) {
      std::uint8_t* pixel = out + static_cast<std::ptrdiff_t>(x) * kBytesPerPixel;
      pixel[0] = colour.blue;
      pixel[1] = colour.green;
      pixel[2] = colour.red;
    }
  }
}

void TGifAnimation::SaveArea(const TImage& image, const GifFrame& area) {
  const PictureSpan columns = SpanOf(area.left, area.left + area.width, reduction_, image.width);
  const PictureSpan rows = SpanOf(area.top, area.top + area.height, reduction_, image.height);
  saved_x_ = columns.first;
  saved_y_ = rows.first;
  saved_width_ = columns.end - columns.first;
  saved_height_ = rows.end - rows.first;
  const std::size_t row_bytes = static_cast<std::size_t>(saved_width_) * kBytesPerPixel;
  saved_.assign(row_bytes * static_cast<std::size_t>(saved_height_), 0);
  for (int y = 0; y < saved_height_; ++y) {
    const std::uint8_t* in = image.Row(saved_y_ + y);
    if (in == nullptr) continue;
    std::copy_n(in + static_cast<std::ptrdiff_t>(saved_x_) * kBytesPerPixel, row_bytes,
                saved_.begin() + static_cast<std::ptrdiff_t>(row_bytes) * y);
  }
}

void TGifAnimation::RestoreArea(TImage& image) {
  const std::size_t row_bytes = static_cast<std::size_t>(saved_width_) * kBytesPerPixel;
  if (saved_.size() != row_bytes * static_cast<std::size_t>(saved_height_)) return;
  for (int y = 0; y < saved_height_; ++y) {
    std::uint8_t* out = image.Row(saved_y_ + y);
    if (out == nullptr) continue;
    std::copy_n(saved_.begin() + static_cast<std::ptrdiff_t>(row_bytes) * y, row_bytes,
                out + static_cast<std::ptrdiff_t>(saved_x_) * kBytesPerPixel);
  }
}
