#include "platform/display.h"

#include "platform/platform_info.h"

namespace {
// The static colours of a palette display, first ten then last ten.
constexpr std::array<ColorRef, 10> kLowStatic = {
    MakeRgb(0, 0, 0),       MakeRgb(128, 0, 0),    MakeRgb(0, 128, 0),   MakeRgb(128, 128, 0),
    MakeRgb(0, 0, 128),     MakeRgb(128, 0, 128),  MakeRgb(0, 128, 128), MakeRgb(192, 192, 192),
    MakeRgb(192, 220, 192), MakeRgb(166, 202, 240)};
constexpr std::array<ColorRef, 10> kHighStatic = {
    MakeRgb(255, 251, 240), MakeRgb(160, 160, 164), MakeRgb(128, 128, 128), MakeRgb(255, 0, 0),
    MakeRgb(0, 255, 0),     MakeRgb(255, 255, 0),   MakeRgb(0, 0, 255),     MakeRgb(255, 0, 255),
    MakeRgb(0, 255, 255),   MakeRgb(255, 255, 255)};
// The fixed colours of a 16-colour display; index i and 15 - i are complements
// of each other's brightness, so inverting a pixel value stays meaningful.
constexpr std::array<ColorRef, 16> kSixteenColours = {
    MakeRgb(0, 0, 0),       MakeRgb(128, 0, 0),   MakeRgb(0, 128, 0),   MakeRgb(128, 128, 0),
    MakeRgb(0, 0, 128),     MakeRgb(128, 0, 128), MakeRgb(0, 128, 128), MakeRgb(192, 192, 192),
    MakeRgb(128, 128, 128), MakeRgb(255, 0, 0),   MakeRgb(0, 255, 0),   MakeRgb(255, 255, 0),
    MakeRgb(0, 0, 255),     MakeRgb(255, 0, 255), MakeRgb(0, 255, 255), MakeRgb(255, 255, 255)};

std::vector<PaletteColour> StaticColourEntries() {
  std::vector<PaletteColour> entries;
  auto add = [&entries](ColorRef c) {
    entries.push_back(PaletteColour{static_cast<std::uint8_t>(RedOf(c)),
                                    static_cast<std::uint8_t>(GreenOf(c)),
                                    static_cast<std::uint8_t>(BlueOf(c)), 0});
  };
  for (ColorRef c : kLowStatic) add(c);
  for (ColorRef c : kHighStatic) add(c);
  return entries;
}
}  // namespace

const TPalette& DefaultPalette() {
  static const TPalette palette(StaticColourEntries());
  return palette;
}

TDisplay::TDisplay() {
  ResetSystemPalette();
}

bool TDisplay::SetDepth(int bits) {
  if (bits != 24 && bits != 8 && bits != 4 && bits != 1) return false;
  depth_ = bits;
  SetDisplayBitsPerPixel(bits);
  ResetSystemPalette();
  return true;
}

void TDisplay::ResetSystemPalette() {
  system_colours_.fill(MakeRgb(0, 0, 0));
  in_use_.fill(false);
  if (depth_ == 8) {
    for (std::size_t i = 0; i < kLowStatic.size(); ++i) {
      system_colours_[i] = kLowStatic[i];
      system_colours_[kSystemPaletteSize - kLowStatic.size() + i] = kHighStatic[i];
      in_use_[i] = true;
      in_use_[kSystemPaletteSize - kLowStatic.size() + i] = true;
    }
  } else if (depth_ == 4) {
    for (std::size_t i = 0; i < kSixteenColours.size(); ++i) {
      system_colours_[i] = kSixteenColours[i];
      in_use_[i] = true;
    }
  } else if (depth_ == 1) {
    system_colours_[1] = MakeRgb(255, 255, 255);
    in_use_[0] = in_use_[1] = true;
  }
}

int TDisplay::SystemPaletteSize() const {
  switch (depth_) {
    case 8:
      return kSystemPaletteSize;
    case 4:
      return 16;
    case 1:
      return 2;
    default:
      return 0;
  }
}

int TDisplay::GetSystemPaletteEntries(int start, int count, PaletteColour* out) const {
  const int size = SystemPaletteSize();
  if (!out || start < 0 || count <= 0 || start >= size) return 0;
  if (count > size - start) count = size - start;
  for (int i = 0; i < count; ++i) {
    const ColorRef c = system_colours_[static_cast<std::size_t>(start + i)];
    out[i] =
        PaletteColour{static_cast<std::uint8_t>(RedOf(c)), static_cast<std::uint8_t>(GreenOf(c)),
                      static_cast<std::uint8_t>(BlueOf(c)), 0};
  }
  return count;
}

int TDisplay::NearestSystemIndex(ColorRef colour) const {
  int best = 0;
  int best_distance = -1;
  for (int i = 0; i < kSystemPaletteSize; ++i) {
    if (!in_use_[static_cast<std::size_t>(i)]) continue;
    const int distance = ColourDistance(colour, system_colours_[static_cast<std::size_t>(i)]);
    if (best_distance < 0 || distance < best_distance) {
      best = i;
      best_distance = distance;
      if (distance == 0) break;
    }
  }
  return best;
}

ColorRef TDisplay::GetNearestColor(ColorRef colour) const {
  if (depth_ > 8) return colour & 0x00FFFFFF;
  return system_colours_[static_cast<std::size_t>(NearestSystemIndex(colour))];
}

std::uint32_t TDisplay::PixelForColour(ColorRef colour) const {
  if (depth_ > 8) return PixelFromColour(colour);
  return static_cast<std::uint32_t>(NearestSystemIndex(colour));
}

int TDisplay::FindExactInUse(ColorRef colour) const {
  for (int i = 0; i < kSystemPaletteSize; ++i) {
    if (in_use_[static_cast<std::size_t>(i)] &&
        system_colours_[static_cast<std::size_t>(i)] == colour) {
      return i;
    }
  }
  return -1;
}

int TDisplay::TakeFreeEntry(ColorRef colour) {
  for (int i = kFirstFreeSystemEntry; i < kFirstFreeSystemEntry + kFreeSystemEntries; ++i) {
    auto slot = static_cast<std::size_t>(i);
    if (in_use_[slot]) continue;
    in_use_[slot] = true;
    system_colours_[slot] = colour;
    return i;
  }
  return -1;
}

int TDisplay::RealizePalette(TPalette& palette, WindowId realizing_window, bool background) {
  std::vector<std::uint8_t> indices(static_cast<std::size_t>(palette.Size()));
  if (depth_ != 8) {
    for (int i = 0; i < palette.Size(); ++i) {
      indices[static_cast<std::size_t>(i)] =
          static_cast<std::uint8_t>(depth_ > 8 ? 0 : NearestSystemIndex(palette.ColourOf(i)));
    }
    palette.SetSystemIndices(std::move(indices));
    return 0;
  }
  const SystemColours colours_before = system_colours_;
  const auto in_use_before = in_use_;
  if (!background) {
    for (int i = kFirstFreeSystemEntry; i < kFirstFreeSystemEntry + kFreeSystemEntries; ++i) {
      in_use_[static_cast<std::size_t>(i)] = false;
    }
  }
  for (int i = 0; i < palette.Size(); ++i) {
    const ColorRef colour = palette.ColourOf(i);
    const bool no_collapse =
        (palette.Entries()[static_cast<std::size_t>(i)].flags & kPcNoCollapse) != 0;
    int index = no_collapse ? -1 : FindExactInUse(colour);
    if (index < 0) index = TakeFreeEntry(colour);
    if (index < 0) index = NearestSystemIndex(colour);
    indices[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(index);
  }
  palette.SetSystemIndices(std::move(indices));
  int changed = 0;
  for (std::size_t i = 0; i < colours_before.size(); ++i) {
    if (colours_before[i] != system_colours_[i] || in_use_before[i] != in_use_[i]) ++changed;
  }
  if (changed > 0 && notice_sink_) {
    // The notices bracket the change, as windows expect: changing, then changed.
    const SystemColours colours_after = system_colours_;
    const auto in_use_after = in_use_;
    system_colours_ = colours_before;
    in_use_ = in_use_before;
    notice_sink_(MessageId::kPaletteIsChanging, realizing_window);
    system_colours_ = colours_after;
    in_use_ = in_use_after;
    notice_sink_(MessageId::kPaletteChanged, realizing_window);
  }
  return changed;
}

std::unique_ptr<TSurface> TDisplay::CreateCompatibleSurface(int width, int height) const {
  return TSurface::Create(width, height, depth_, &system_colours_);
}
