// The quantizing output pipeline: output rows of the current view, adjusted,
// reduced to at most `colours` colours and delivered row by row in output
// order. The GIF and PCX writers and the representative palette run on it.
#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "image/colour_quantizer.h"
#include "image/dither.h"
#include "image/image.h"
#include "platform/long_operation.h"

namespace {

constexpr int kRepresentativeColours = 236;
constexpr int kRepresentativeArea = 255;

// Interlaced output: four passes starting at rows 0, 4, 2, 1 with steps 8, 8, 4, 2.
constexpr int kInterlaceStart[] = {0, 4, 2, 1};
constexpr int kInterlaceStep[] = {8, 8, 4, 2};

std::vector<int> OutputOrder(int rows, bool interlaced) {
  std::vector<int> order;
  order.reserve(rows);
  if (!interlaced) {
    for (int r = 0; r < rows; ++r) order.push_back(r);
    return order;
  }
  for (int pass = 0; pass < 4; ++pass) {
    for (int r = kInterlaceStart[pass]; r < rows; r += kInterlaceStep[pass]) order.push_back(r);
  }
  return order;
}

// Fetches output rows as blue, green, red with the adjustments applied.
class AdjustedRows {
 public:
  AdjustedRows(const TImage& image, TDither* dither, const LogPalette& palette)
      : image_(image),
        dither_(dither),
        palette_(palette),
        indices_(image.outputRect.width),
        pixels_(std::size_t(3) * image.outputRect.width) {}

  const std::uint8_t* Pixels(int row) {
    const int count = image_.outputRect.width;
    const int y = image_.outputRect.y + row;
    if (image_.bytesPerPixel == 3) {
      image_.GetOutputRow(image_.outputRect.x, y, pixels_.data(), count);
      if (dither_) dither_->AdjustLine(pixels_.data(), count, 3);
      return pixels_.data();
    }
    image_.GetOutputRow(image_.outputRect.x, y, indices_.data(), count);
    for (int i = 0; i < count; ++i) {
      const PaletteEntry& colour = palette_.entries[indices_[i]];
      pixels_[3 * i] = colour.blue;
      pixels_[3 * i + 1] = colour.green;
      pixels_[3 * i + 2] = colour.red;
    }
    return pixels_.data();
  }

  const std::uint8_t* Indices(int row) {
    image_.GetOutputRow(image_.outputRect.x, image_.outputRect.y + row, indices_.data(),
                        image_.outputRect.width);
    return indices_.data();
  }

 private:
  const TImage& image_;
  TDither* dither_;
  const LogPalette& palette_;
  std::vector<std::uint8_t> indices_;
  std::vector<std::uint8_t> pixels_;
};

enum class Outcome { kDone, kCancelled, kFailed };

Outcome SendColourMap(const QuantizeSink& sink, int count, const std::uint8_t* red,
                      const std::uint8_t* green, const std::uint8_t* blue) {
  if (sink.colour_map && !sink.colour_map(sink.context, count, red, green, blue)) {
    return Outcome::kFailed;
  }
  return Outcome::kDone;
}

// The quantizer's tables (over a megabyte) are kept for the next picture
// of this thread: in a batch, fresh pages for every picture cost more than the
// quantizing. A run nested inside another (through an event handled while a
// long operation polls) finds none kept and makes its own.
thread_local std::unique_ptr<TColourQuantizer> kept_quantizer;

class QuantizerLease {
 public:
  QuantizerLease() : quantizer_(std::move(kept_quantizer)) {
    if (!quantizer_) quantizer_.reset(new (std::nothrow) TColourQuantizer);
  }
  ~QuantizerLease() {
    if (quantizer_) kept_quantizer = std::move(quantizer_);
  }
  QuantizerLease(const QuantizerLease&) = delete;
  QuantizerLease& operator=(const QuantizerLease&) = delete;
  TColourQuantizer* operator->() const { return quantizer_.get(); }
  explicit operator bool() const { return quantizer_ != nullptr; }

 private:
  std::unique_ptr<TColourQuantizer> quantizer_;
};

Outcome QuantizeRows(AdjustedRows& rows, int width, int height, bool interlaced, int colours,
                     const QuantizeSink& sink) {
  QuantizerLease quantizer;
  if (!quantizer || !quantizer->Init()) return Outcome::kFailed;
  const int first_pass_share = sink.pixel_row ? 50 : 100;
  bool cancelled = false;
  for (int r = 0; r < height && !cancelled; ++r) {
    quantizer->AddPixels(rows.Pixels(r), width);
    cancelled = PollLongOperation(static_cast<int>(std::int64_t{r} * first_pass_share / height));
  }
  // A cancelled first pass still hands over colours, so that no consumer ends
  // without a colour map.
  const int count = quantizer->ChooseColours(colours);
  const Outcome sent =
      SendColourMap(sink, count, quantizer->Red(), quantizer->Green(), quantizer->Blue());
  if (sent != Outcome::kDone) return sent;
  if (cancelled) return Outcome::kCancelled;
  if (!sink.pixel_row) return Outcome::kDone;

  std::vector<std::uint8_t> indices(width);
  quantizer->StartMapping();
  const std::vector<int> order = OutputOrder(height, interlaced);
  for (int k = 0; k < height; ++k) {
    quantizer->MapRow(rows.Pixels(order[k]), indices.data(), width);
    if (!sink.pixel_row(sink.context, indices.data(), width)) return Outcome::kFailed;
    if (PollLongOperation(50 + static_cast<int>(std::int64_t{k} * 50 / height))) {
      return Outcome::kCancelled;
    }
  }
  return Outcome::kDone;
}

Outcome PassIndices(AdjustedRows& rows, const LogPalette& palette, int width, int height,
                    bool interlaced, const QuantizeSink& sink) {
  std::array<std::uint8_t, kMaxPaletteEntries> red{}, green{}, blue{};
  for (int i = 0; i < kMaxPaletteEntries; ++i) {
    red[i] = palette.entries[i].red;
    green[i] = palette.entries[i].green;
    blue[i] = palette.entries[i].blue;
  }
  const int count =
      std::clamp<int>(palette.count, TColourQuantizer::kMinColours, kMaxPaletteEntries);
  const Outcome sent = SendColourMap(sink, count, red.data(), green.data(), blue.data());
  if (sent != Outcome::kDone || !sink.pixel_row) return sent;
  const std::vector<int> order = OutputOrder(height, interlaced);
  for (int k = 0; k < height; ++k) {
    if (!sink.pixel_row(sink.context, rows.Indices(order[k]), width)) return Outcome::kFailed;
    if (PollLongOperation(static_cast<int>(std::int64_t{k} * 100 / height))) {
      return Outcome::kCancelled;
    }
  }
  return Outcome::kDone;
}

}  // namespace

int QuantizeToOutput(TImage& image, TDither* dither, bool interlaced, int colours,
                     const QuantizeSink& sink) {
  const int width = image.outputRect.width;
  const int height = image.outputRect.height;
  if (width < 1 || height < 1) return 1;
  colours = std::clamp(colours, TColourQuantizer::kMinColours, TColourQuantizer::kMaxColours);

  LogPalette palette;
  if (image.bytesPerPixel == 1) {
    if (dither) {
      dither->GetSourcePalette(palette);
    } else {
      image.GetPalette(palette, nullptr);
    }
  }
  if (sink.begin && !sink.begin(sink.context)) return 1;
  AdjustedRows rows(image, dither, palette);
  const bool quantize = image.bytesPerPixel == 3 || palette.count > colours;
  const Outcome outcome = quantize ? QuantizeRows(rows, width, height, interlaced, colours, sink)
                                   : PassIndices(rows, palette, width, height, interlaced, sink);
  if (outcome == Outcome::kFailed) return 1;
  if (sink.end) sink.end(sink.context);
  return 0;
}

namespace {

bool StoreRepresentative(void* context, int count, const std::uint8_t* red,
                         const std::uint8_t* green, const std::uint8_t* blue) {
  auto& image = *static_cast<TImage*>(context);
  image.representativeCount = count;
  std::copy(red, red + count, image.representative[0].begin());
  std::copy(green, green + count, image.representative[1].begin());
  std::copy(blue, blue + count, image.representative[2].begin());
  return true;
}

}  // namespace

void TImage::MakeRepresentativePalette() {
  if (bytesPerPixel != 3) return;
  SetOutputSize(kRepresentativeArea, kRepresentativeArea, 1, 1, 0, true, true);
  QuantizeSink sink;
  sink.colour_map = StoreRepresentative;
  sink.context = this;
  QuantizeToOutput(*this, nullptr, false, kRepresentativeColours, sink);
}
