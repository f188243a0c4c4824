#include "sample_pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "image/image.h"
#include "platform/fixed_font.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// A small fixed generator, so every run draws the same grain.
class Grain {
 public:
  int Next(int spread) {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return static_cast<int>(state_ % (2 * spread + 1)) - spread;
  }

 private:
  std::uint64_t state_ = 0x9E3779B97F4A7C15ull;
};

std::uint8_t ToByte(double value) {
  return static_cast<std::uint8_t>(std::clamp(static_cast<int>(std::lround(value)), 0, 255));
}

// Palette pictures are drawn as a grid of indices and stored in one go.
class IndexCanvas {
 public:
  IndexCanvas(int width, int height, std::uint8_t background)
      : width_(width), height_(height), pixels_(std::size_t(width) * height, background) {}

  void Set(int x, int y, std::uint8_t index) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[std::size_t(y) * width_ + x] = index;
  }
  void FillBox(int x0, int y0, int x1, int y1, std::uint8_t index) {
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) Set(x, y, index);
    }
  }
  void Frame(int x0, int y0, int x1, int y1, int thickness, std::uint8_t index) {
    FillBox(x0, y0, x1, y0 + thickness, index);
    FillBox(x0, y1 - thickness, x1, y1, index);
    FillBox(x0, y0, x0 + thickness, y1, index);
    FillBox(x1 - thickness, y0, x1, y1, index);
  }
  void Line(int x0, int y0, int x1, int y1, std::uint8_t index) {
    const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    for (int i = 0; i <= steps; ++i) {
      Set(x0 + (x1 - x0) * i / std::max(steps, 1), y0 + (y1 - y0) * i / std::max(steps, 1), index);
    }
  }
  int Width() const { return width_; }
  int Height() const { return height_; }

  void StoreInto(TImage& image, const LogPalette& palette) const {
    image.Create(width_, height_, 1, 1, 1, 1, 0);
    image.SetPalette(palette);
    for (int y = 0; y < height_; ++y) {
      image.PutRow(0, y, &pixels_[std::size_t(y) * width_], nullptr, nullptr, width_, -1);
    }
  }

 private:
  int width_;
  int height_;
  std::vector<std::uint8_t> pixels_;
};

LogPalette MakePalette(std::initializer_list<PaletteEntry> colours) {
  LogPalette palette;
  for (const PaletteEntry& colour : colours) palette.entries[palette.count++] = colour;
  return palette;
}

PaletteEntry HueColour(double hue, double light) {
  const double r = 0.5 + 0.5 * std::cos(2 * kPi * hue);
  const double g = 0.5 + 0.5 * std::cos(2 * kPi * (hue - 1.0 / 3));
  const double b = 0.5 + 0.5 * std::cos(2 * kPi * (hue - 2.0 / 3));
  return {ToByte(255 * r * light), ToByte(255 * g * light), ToByte(255 * b * light), 0};
}

struct Disc {
  double cx, cy, radius;  // in fractions of the picture's width and height
  double red, green, blue;
};

constexpr Disc kDiscs[] = {
    {0.30, 0.40, 0.18, 230, 190, 60},
    {0.70, 0.55, 0.22, 60, 120, 210},
    {0.52, 0.78, 0.12, 200, 70, 90},
};

}  // namespace

void DrawPhoto(TImage& image, int width, int height) {
  image.Create(width, height, 1, 1, 3, 1, 0);
  std::vector<std::uint8_t> red(width), green(width), blue(width);
  Grain grain;
  const double scale = std::min(width, height);
  for (int y = 0; y < height; ++y) {
    const double fy = double(y) / height;
    for (int x = 0; x < width; ++x) {
      const double fx = double(x) / width;
      // A sky-to-ground gradient with a slow wave through it.
      double r = 90 + 110 * fy + 30 * std::sin(6 * fx + 2 * fy);
      double g = 140 + 60 * std::cos(4 * fy) - 40 * fx;
      double b = 220 - 150 * fy + 20 * std::sin(9 * fx);
      for (const Disc& disc : kDiscs) {
        const double dx = (fx - disc.cx) * width / scale;
        const double dy = (fy - disc.cy) * height / scale;
        const double edge = std::clamp((disc.radius - std::sqrt(dx * dx + dy * dy)) * 40, 0.0, 1.0);
        r += (disc.red - r) * edge;
        g += (disc.green - g) * edge;
        b += (disc.blue - b) * edge;
      }
      const int noise = grain.Next(6);
      red[x] = ToByte(r + noise);
      green[x] = ToByte(g + noise);
      blue[x] = ToByte(b + noise);
    }
    image.PutRow(0, y, red.data(), green.data(), blue.data(), width, -1);
  }
}

void DrawLineArt(TImage& image) {
  IndexCanvas canvas(320, 240, 15);
  for (int i = 0; i < 8; ++i) {
    const auto colour = static_cast<std::uint8_t>(i + 1);
    canvas.Frame(10 + 12 * i, 10 + 9 * i, 310 - 12 * i, 230 - 9 * i, 2, colour);
  }
  for (int x = 0; x < 320; x += 20) canvas.Line(x, 239, 160, 120, 9);
  canvas.FillBox(140, 100, 180, 140, 12);
  canvas.FillBox(20, 180, 60, 220, 4);
  canvas.FillBox(260, 20, 300, 60, 2);
  canvas.StoreInto(image, MakePalette({{0, 0, 0, 0},
                                       {170, 0, 0, 0},
                                       {0, 170, 0, 0},
                                       {170, 85, 0, 0},
                                       {0, 0, 170, 0},
                                       {170, 0, 170, 0},
                                       {0, 170, 170, 0},
                                       {170, 170, 170, 0},
                                       {85, 85, 85, 0},
                                       {255, 85, 85, 0},
                                       {85, 255, 85, 0},
                                       {255, 255, 85, 0},
                                       {85, 85, 255, 0},
                                       {255, 85, 255, 0},
                                       {85, 255, 255, 0},
                                       {255, 255, 255, 0}}));
}

void DrawText(TImage& image, const std::string& text) {
  constexpr int kScale = 2;
  constexpr int kMargin = 12;
  const int width = static_cast<int>(text.size()) * kFixedFontWidth * kScale + 2 * kMargin;
  IndexCanvas canvas(std::max(width, 16), kFixedFontHeight * kScale + 2 * kMargin, 0);
  canvas.Frame(0, 0, canvas.Width(), canvas.Height(), 3, 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::uint8_t* glyph = FixedFontGlyph(static_cast<unsigned char>(text[i]));
    const int left = kMargin + static_cast<int>(i) * kFixedFontWidth * kScale;
    for (int row = 0; row < kFixedFontHeight; ++row) {
      for (int col = 0; col < kFixedFontWidth; ++col) {
        if ((glyph[row] & (0x20 >> col)) == 0) continue;
        const int x = left + col * kScale;
        const int y = kMargin + row * kScale;
        canvas.FillBox(x, y, x + kScale, y + kScale, 1);
      }
    }
  }
  canvas.StoreInto(image, MakePalette({{245, 242, 230, 0}, {25, 30, 70, 0}, {180, 40, 40, 0}}));
}

void DrawPalettePicture(TImage& image) {
  IndexCanvas canvas(256, 256, 0);
  for (int y = 0; y < 256; ++y) {
    for (int x = 0; x < 256; ++x)
      canvas.Set(x, y, static_cast<std::uint8_t>((y / 16) * 16 + x / 16));
  }
  LogPalette palette;
  palette.count = kMaxPaletteEntries;
  for (int i = 0; i < kMaxPaletteEntries; ++i) {
    palette.entries[i] = HueColour((i % 16) / 16.0, 0.25 + 0.75 * (i / 16) / 15.0);
  }
  canvas.StoreInto(image, palette);
}

void DrawBilevel(TImage& image) {
  IndexCanvas canvas(256, 256, 0);
  for (int y = 0; y < 256; ++y) {
    for (int x = 0; x < 256; ++x) {
      const int dx = x - 128;
      const int dy = y - 128;
      const bool ring = static_cast<int>(std::sqrt(double(dx * dx + dy * dy))) / 10 % 2 == 0;
      const bool check = x >= 192 && y >= 192 && (x / 8 + y / 8) % 2 == 0;
      canvas.Set(x, y, ring != check ? 1 : 0);
    }
  }
  canvas.StoreInto(image, MakePalette({{0, 0, 0, 0}, {255, 255, 255, 0}}));
}

void DrawFigureOnBorder(TImage& image) {
  IndexCanvas canvas(160, 120, 0);
  for (int y = 0; y < 120; ++y) {
    for (int x = 0; x < 160; ++x) {
      const int dx = x - 80;
      const int dy = y - 60;
      if (dx * dx + dy * dy < 45 * 45)
        canvas.Set(x, y, static_cast<std::uint8_t>(1 + (x + y) / 20 % 3));
    }
  }
  canvas.Frame(30, 10, 130, 110, 2, 4);
  canvas.StoreInto(image, MakePalette({{255, 0, 255, 0},
                                       {240, 200, 40, 0},
                                       {220, 90, 30, 0},
                                       {120, 40, 20, 0},
                                       {30, 30, 30, 0}}));
}
