#include "image/colour_quantizer.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <new>

namespace {

// Histogram cells: 5 bits of red, 6 of green, 5 of blue.
constexpr int kRedCells = 32;
constexpr int kGreenCells = 64;
constexpr int kBlueCells = 32;
constexpr int kCellCount = kRedCells * kGreenCells * kBlueCells;
constexpr int kRedShift = 3;
constexpr int kGreenShift = 2;
constexpr int kBlueShift = 3;
// Inverse-map blocks: cubes of 32 values per channel.
constexpr int kBlockShift = 5;
constexpr int kBlockExtent = 1 << kBlockShift;
constexpr int kBlockCount = 8 * 8 * 8;
constexpr int kBlockRedCells = kBlockExtent >> kRedShift;
constexpr int kBlockGreenCells = kBlockExtent >> kGreenShift;
constexpr int kBlockBlueCells = kBlockExtent >> kBlueShift;
constexpr int kBlockGreenBlueCells = kBlockGreenCells * kBlockBlueCells;
constexpr int kBlockCells = kBlockRedCells * kBlockGreenBlueCells;
constexpr int kChannels = 3;
// Errors are kept in sixteenths: the Floyd-Steinberg weights 7, 3, 5, 1.
constexpr int kErrorScaleShift = 4;
// Carried errors pass whole up to the step, at half slope up to three steps,
// and not beyond: large errors would otherwise smear across flat areas.
constexpr int kErrorStep = 16;

int CellOf(int red, int green, int blue) {
  return (red >> kRedShift) << 11 | (green >> kGreenShift) << 5 | (blue >> kBlueShift);
}

int BlockOf(int red, int green, int blue) {
  return (red >> kBlockShift) << 6 | (green >> kBlockShift) << 3 | (blue >> kBlockShift);
}

std::uint8_t Clamp255(int v) {
  return static_cast<std::uint8_t>(std::clamp(v, 0, 255));
}

// Population-weighted sums along one channel.
struct ChannelSums {
  double count = 0;
  double sum = 0;
  double squares = 0;
  // square is total * total / n: the cell's pixels count as lying at their mean.
  void Add(double n, double total, double square) {
    count += n;
    sum += total;
    squares += square;
  }
  double Spread() const { return count > 0 ? squares - sum * sum / count : 0; }
};

// The total of a cell's values along each channel.
void CellTotals(int r, int g, int b, std::uint32_t count, const std::uint32_t offsets[kChannels],
                double totals[kChannels]) {
  const double n = count;
  totals[0] = n * (r << kRedShift) + offsets[0];
  totals[1] = n * (g << kGreenShift) + offsets[1];
  totals[2] = n * (b << kBlueShift) + offsets[2];
}

}  // namespace

// A box of histogram cells: inclusive bounds per channel (in cells), and the
// population-weighted statistics of the colours inside.
struct TColourQuantizer::Box {
  int low[kChannels] = {0, 0, 0};
  int high[kChannels] = {kRedCells - 1, kGreenCells - 1, kBlueCells - 1};
  double population = 0;
  double sum[kChannels] = {0, 0, 0};
  double spread = 0;  // sum of squared distances from the mean
  double channel_spread[kChannels] = {0, 0, 0};
};

// The sums of a box per slice along each channel, indexed by cell, gathered
// while the box is shrunk so that its split needs no pass of its own.
struct TColourQuantizer::BoxSlices {
  ChannelSums red[kRedCells];
  ChannelSums green[kGreenCells];
  ChannelSums blue[kBlueCells];
  ChannelSums* Along(int channel) { return channel == 0 ? red : channel == 1 ? green : blue; }
};

TColourQuantizer::TColourQuantizer() = default;
TColourQuantizer::~TColourQuantizer() = default;

bool TColourQuantizer::Init() {
  // A quantizer kept for the next picture keeps its tables: fresh pages cost
  // more than clearing. The inverse map needs no clearing, its blocks are
  // marked unready when colours are chosen; the errors are cleared per pass.
  if (histogram_.empty()) {
    try {
      histogram_.resize(kCellCount);
      inverse_.resize(kCellCount);
      block_ready_.resize(kBlockCount);
      errors_.resize(std::size_t(kChannels) * (kMaxOutputSize + 2));
      slices_.resize(kMaxColours);
    } catch (const std::bad_alloc&) {
      histogram_.clear();
      return false;
    }
    BuildLimitTables();
  }
  std::fill(histogram_.begin(), histogram_.end(), Cell{0, 0, 0, 0});
  colour_count_ = 0;
  return true;
}

void TColourQuantizer::BuildLimitTables() {
  for (int i = 0; i < static_cast<int>(clamp_.size()); ++i) clamp_[i] = Clamp255(i - kClampMargin);
  for (int error = 0; error <= kMaxError; ++error) {
    const int passed = error < kErrorStep       ? error
                       : error < 3 * kErrorStep ? kErrorStep + (error - kErrorStep) / 2
                                                : 2 * kErrorStep;
    error_limit_[kMaxError + error] = static_cast<std::int16_t>(passed);
    error_limit_[kMaxError - error] = static_cast<std::int16_t>(-passed);
  }
}

void TColourQuantizer::AddPixels(const std::uint8_t* bgr, int count) {
  Cell* histogram = histogram_.data();
  for (int i = 0; i < count; ++i, bgr += 3) {
    Cell& cell = histogram[CellOf(bgr[2], bgr[1], bgr[0])];
    ++cell.count;
    cell.red += bgr[2] & ((1 << kRedShift) - 1);
    cell.green += bgr[1] & ((1 << kGreenShift) - 1);
    cell.blue += bgr[0] & ((1 << kBlueShift) - 1);
  }
}

void TColourQuantizer::ShrinkBox(Box& box, BoxSlices& slices) const {
  int low[kChannels] = {kRedCells, kGreenCells, kBlueCells};
  int high[kChannels] = {-1, -1, -1};
  ChannelSums sums[kChannels];
  ChannelSums* along[kChannels];
  for (int c = 0; c < kChannels; ++c) {
    along[c] = slices.Along(c);
    std::fill(along[c] + box.low[c], along[c] + box.high[c] + 1, ChannelSums{});
  }
  for (int r = box.low[0]; r <= box.high[0]; ++r) {
    for (int g = box.low[1]; g <= box.high[1]; ++g) {
      const Cell* run = &histogram_[std::size_t(r) << 11 | std::size_t(g) << 5];
      for (int b = box.low[2]; b <= box.high[2]; ++b) {
        const Cell& cell = run[b];
        if (cell.count == 0) continue;
        const int at[kChannels] = {r, g, b};
        const std::uint32_t offsets[kChannels] = {cell.red, cell.green, cell.blue};
        double totals[kChannels];
        CellTotals(r, g, b, cell.count, offsets, totals);
        const double n = cell.count;
        for (int c = 0; c < kChannels; ++c) {
          low[c] = std::min(low[c], at[c]);
          high[c] = std::max(high[c], at[c]);
          const double square = totals[c] * totals[c] / n;
          sums[c].Add(n, totals[c], square);
          along[c][at[c]].Add(n, totals[c], square);
        }
      }
    }
  }
  box.population = sums[0].count;
  box.spread = 0;
  for (int c = 0; c < kChannels; ++c) {
    if (box.population > 0) {
      box.low[c] = low[c];
      box.high[c] = high[c];
    }
    box.sum[c] = sums[c].sum;
    box.channel_spread[c] = sums[c].Spread();
    box.spread += box.channel_spread[c];
  }
}

// Splits along the channel of widest spread, at the plane that leaves the
// least spread along it in the two halves.
bool TColourQuantizer::SplitBox(Box& box, BoxSlices& box_slices, Box& upper,
                                BoxSlices& upper_slices) const {
  int axis = -1;
  for (int c = 0; c < kChannels; ++c) {
    if (box.high[c] > box.low[c] &&
        (axis < 0 || box.channel_spread[c] > box.channel_spread[axis])) {
      axis = c;
    }
  }
  if (axis < 0) return false;
  const ChannelSums* slices = box_slices.Along(axis);
  ChannelSums total;
  for (int s = box.low[axis]; s <= box.high[axis]; ++s) {
    total.count += slices[s].count;
    total.sum += slices[s].sum;
    total.squares += slices[s].squares;
  }
  ChannelSums below;
  int best = box.low[axis];
  double best_spread = std::numeric_limits<double>::max();
  for (int s = box.low[axis]; s < box.high[axis]; ++s) {
    below.count += slices[s].count;
    below.sum += slices[s].sum;
    below.squares += slices[s].squares;
    const ChannelSums above{total.count - below.count, total.sum - below.sum,
                            total.squares - below.squares};
    const double spread = below.Spread() + above.Spread();
    if (below.count > 0 && above.count > 0 && spread < best_spread) {
      best_spread = spread;
      best = s;
    }
  }
  upper = box;
  box.high[axis] = best;
  upper.low[axis] = best + 1;
  ShrinkBox(box, box_slices);
  ShrinkBox(upper, upper_slices);
  return true;
}

void TColourQuantizer::AverageColour(const Box& box, int slot) {
  const double n = std::max(box.population, 1.0);
  red_[slot] = Clamp255(static_cast<int>(box.sum[0] / n + 0.5));
  green_[slot] = Clamp255(static_cast<int>(box.sum[1] / n + 0.5));
  blue_[slot] = Clamp255(static_cast<int>(box.sum[2] / n + 0.5));
}

int TColourQuantizer::ChooseColours(int colours) {
  colours = std::clamp(colours, kMinColours, kMaxColours);
  std::vector<Box> boxes(1);
  boxes.reserve(colours);
  ShrinkBox(boxes[0], slices_[0]);
  while (static_cast<int>(boxes.size()) < colours) {
    // The box whose colours lie farthest from their mean gains most from a split.
    auto widest = std::max_element(boxes.begin(), boxes.end(),
                                   [](const Box& a, const Box& b) { return a.spread < b.spread; });
    if (widest->spread <= 0) break;
    Box upper;
    const std::size_t split = static_cast<std::size_t>(widest - boxes.begin());
    if (!SplitBox(*widest, slices_[split], upper, slices_[boxes.size()])) {
      widest->spread = 0;
      continue;
    }
    boxes.push_back(upper);
  }
  colour_count_ = static_cast<int>(boxes.size());
  for (int i = 0; i < colour_count_; ++i) AverageColour(boxes[i], i);
  // At least two colours: an empty or one-colour picture gets black beside its own.
  for (; colour_count_ < kMinColours; ++colour_count_) {
    red_[colour_count_] = green_[colour_count_] = blue_[colour_count_] = 0;
  }
  std::fill(block_ready_.begin(), block_ready_.end(), 0);
  return colour_count_;
}

// Maps every cell of one block. Only colours whose least distance to the
// block is within the smallest greatest distance can be nearest to any point
// of it, so each cell searches those alone.
void TColourQuantizer::FillBlock(int block) {
  const int origin[kChannels] = {(block >> 6) * kBlockExtent, ((block >> 3) & 7) * kBlockExtent,
                                 (block & 7) * kBlockExtent};
  std::array<int, kMaxColours> least{};
  int bound = std::numeric_limits<int>::max();
  for (int i = 0; i < colour_count_; ++i) {
    const int value[kChannels] = {red_[i], green_[i], blue_[i]};
    int near = 0;
    int far = 0;
    for (int c = 0; c < kChannels; ++c) {
      const int lo = origin[c];
      const int hi = origin[c] + kBlockExtent - 1;
      const int outside = value[c] < lo ? lo - value[c] : value[c] > hi ? value[c] - hi : 0;
      const int across = std::max(std::abs(value[c] - lo), std::abs(value[c] - hi));
      near += outside * outside;
      far += across * across;
    }
    least[i] = near;
    bound = std::min(bound, far);
  }
  std::array<std::uint8_t, kMaxColours> candidates{};
  int candidate_count = 0;
  for (int i = 0; i < colour_count_; ++i) {
    if (least[i] <= bound) candidates[candidate_count++] = static_cast<std::uint8_t>(i);
  }
  // Candidate by candidate over all cells of the block at once (a loop the
  // compiler turns into vector code); a later candidate must be strictly
  // nearer, so ties go to the lower index.
  std::array<std::int32_t, kBlockCells> best_distance;
  std::array<std::int32_t, kBlockCells> best;
  best_distance.fill(std::numeric_limits<std::int32_t>::max());
  best.fill(candidates[0]);
  for (int k = 0; k < candidate_count; ++k) {
    const int i = candidates[k];
    std::int32_t red_part[kBlockRedCells];
    for (int r = 0; r < kBlockRedCells; ++r) {
      const int dr = origin[0] + (r << kRedShift) + (1 << kRedShift) / 2 - red_[i];
      red_part[r] = dr * dr;
    }
    std::int32_t green_blue_part[kBlockGreenBlueCells];
    for (int g = 0; g < kBlockGreenCells; ++g) {
      const int dg = origin[1] + (g << kGreenShift) + (1 << kGreenShift) / 2 - green_[i];
      for (int b = 0; b < kBlockBlueCells; ++b) {
        const int db = origin[2] + (b << kBlueShift) + (1 << kBlueShift) / 2 - blue_[i];
        green_blue_part[g * kBlockBlueCells + b] = dg * dg + db * db;
      }
    }
    for (int r = 0; r < kBlockRedCells; ++r) {
      std::int32_t* distances = &best_distance[r * kBlockGreenBlueCells];
      std::int32_t* indices = &best[r * kBlockGreenBlueCells];
      for (int j = 0; j < kBlockGreenBlueCells; ++j) {
        const std::int32_t distance = red_part[r] + green_blue_part[j];
        const bool nearer = distance < distances[j];
        distances[j] = nearer ? distance : distances[j];
        indices[j] = nearer ? i : indices[j];
      }
    }
  }
  for (int r = 0; r < kBlockRedCells; ++r) {
    for (int g = 0; g < kBlockGreenCells; ++g) {
      std::uint8_t* run = &inverse_[CellOf(origin[0] + (r << kRedShift),
                                           origin[1] + (g << kGreenShift), origin[2])];
      const std::int32_t* indices = &best[r * kBlockGreenBlueCells + g * kBlockBlueCells];
      for (int b = 0; b < kBlockBlueCells; ++b) run[b] = static_cast<std::uint8_t>(indices[b]);
    }
  }
  block_ready_[block] = 1;
}

void TColourQuantizer::StartMapping() {
  std::fill(errors_.begin(), errors_.end(), 0);
  reverse_ = false;
}

// Serpentine Floyd-Steinberg with one error row: the cell of each pixel holds
// what the row above left for it until the pixel is done, then what this row
// leaves for the pixel below its predecessor.
void TColourQuantizer::MapRow(const std::uint8_t* bgr, std::uint8_t* indices, int count) {
  count = std::clamp(count, 0, kMaxOutputSize);
  const int step = reverse_ ? -1 : 1;
  const int first = reverse_ ? count - 1 : 0;
  // Pixel x has error cells 3 (x + 1) .. 3 (x + 1) + 2; the guards take what falls off the ends.
  std::int32_t* cell_of_pixel = errors_.data() + kChannels * (first + 1);
  const std::uint8_t* pixel = bgr + std::size_t(first) * 3;
  const std::ptrdiff_t pixel_step = 3 * step;
  const std::ptrdiff_t cell_step = kChannels * step;
  int ahead[kChannels] = {0, 0, 0};        // 7/16 of the previous pixel's error
  int last[kChannels] = {0, 0, 0};         // the previous pixel's error
  int before_last[kChannels] = {0, 0, 0};  // and the one before it
  const std::uint8_t* colour[kChannels] = {red_.data(), green_.data(), blue_.data()};
  const std::uint8_t* clamp = clamp_.data() + kClampMargin;
  const std::int16_t* limit = error_limit_.data() + kMaxError;
  // Index stores may alias anything: keep the tables in locals.
  const std::uint8_t* ready = block_ready_.data();
  const std::uint8_t* inverse = inverse_.data();
  for (int n = 0; n < count; ++n, pixel += pixel_step, cell_of_pixel += cell_step) {
    int value[kChannels];
    for (int c = 0; c < kChannels; ++c) {
      const int carried = (ahead[c] + cell_of_pixel[c] + 8) >> kErrorScaleShift;
      value[c] = clamp[pixel[2 - c] + limit[carried]];
    }
    const int block = BlockOf(value[0], value[1], value[2]);
    if (!ready[block]) FillBlock(block);
    const int index = inverse[CellOf(value[0], value[1], value[2])];
    indices[first + n * step] = static_cast<std::uint8_t>(index);
    for (int c = 0; c < kChannels; ++c) {
      const int error = value[c] - colour[c][index];
      // The cell below the previous pixel is complete: 5/16 of that pixel's
      // error, 1/16 of the one before it and 3/16 of ours.
      cell_of_pixel[c - cell_step] = 5 * last[c] + before_last[c] + 3 * error;
      before_last[c] = last[c];
      last[c] = error;
      ahead[c] = 7 * error;
    }
  }
  // The cell below the last pixel.
  for (int c = 0; c < kChannels; ++c) cell_of_pixel[c - cell_step] = 5 * last[c] + before_last[c];
  reverse_ = !reverse_;
}
