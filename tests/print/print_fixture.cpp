#include "print_fixture.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <functional>
#include <sstream>

#include "support/peer_tools.h"

namespace {
PaletteEntry PictureColour(int i) {
  return PaletteEntry{static_cast<std::uint8_t>(20 + i * 25),
                      static_cast<std::uint8_t>(180 - i * 20),
                      static_cast<std::uint8_t>(40 + i * 10), 0};
}
}  // namespace

std::set<std::uint32_t> PalettePictureColours() {
  std::set<std::uint32_t> colours;
  for (int i = 0; i < 8; ++i) {
    const PaletteEntry entry = PictureColour(i);
    colours.insert((std::uint32_t{entry.red} << 16) | (std::uint32_t{entry.green} << 8) |
                   entry.blue);
  }
  return colours;
}

std::unique_ptr<TImage> MakePalettePicture(int width, int height) {
  auto image = std::make_unique<TImage>();
  image->Create(width, height, 1, 1, 1, 1, 0);
  LogPalette palette;
  palette.count = 8;
  for (int i = 0; i < 8; ++i) palette.entries[i] = PictureColour(i);
  image->SetPalette(palette);
  std::vector<std::uint8_t> row(static_cast<std::size_t>(width));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) row[x] = static_cast<std::uint8_t>((x + 3 * y) % 8);
    image->PutRow(0, y, row.data(), nullptr, nullptr, width, -1);
  }
  return image;
}

std::unique_ptr<TImage> MakeRampPicture(int width, int height) {
  auto image = std::make_unique<TImage>();
  image->Create(width, height, 1, 1, 3, 1, 0);
  std::vector<std::uint8_t> red(width), green(width), blue(width);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      red[x] = static_cast<std::uint8_t>(x * 255 / std::max(1, width - 1));
      green[x] = static_cast<std::uint8_t>(y * 255 / std::max(1, height - 1));
      blue[x] = static_cast<std::uint8_t>(128);
    }
    image->PutRow(0, y, red.data(), green.data(), blue.data(), width, -1);
  }
  return image;
}

std::uint32_t Raster::At(int x, int y) const {
  const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
  return (std::uint32_t{rgb[at]} << 16) | (std::uint32_t{rgb[at + 1]} << 8) | rgb[at + 2];
}

namespace {
// A P6 file: "P6", width, height and 255, with '#' comments between the
// fields, one blank, then the pixels.
Raster ReadPpm(const std::string& path) {
  const std::vector<unsigned char> bytes = ReadFileBytes(path);
  std::size_t at = 0;
  std::vector<std::string> fields;
  while (fields.size() < 4 && at < bytes.size()) {
    if (bytes[at] == '#') {
      while (at < bytes.size() && bytes[at] != '\n') ++at;
    } else if (std::isspace(bytes[at])) {
      ++at;
    } else {
      std::string field;
      while (at < bytes.size() && !std::isspace(bytes[at])) field += static_cast<char>(bytes[at++]);
      fields.push_back(field);
    }
  }
  ++at;  // the one blank after the maximum
  Raster raster;
  if (fields.size() != 4 || fields[0] != "P6" || fields[3] != "255") return raster;
  raster.width = std::stoi(fields[1]);
  raster.height = std::stoi(fields[2]);
  const std::size_t size = static_cast<std::size_t>(raster.width) * raster.height * 3;
  if (bytes.size() < at + size) return Raster{};
  raster.rgb.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                    bytes.begin() + static_cast<std::ptrdiff_t>(at + size));
  return raster;
}
}  // namespace

Raster RasterizePdf(const std::string& pdf, int dpi, const TempDir& scratch) {
  const std::string base = scratch.File("page");
  const std::string command = "pdftoppm -r " + std::to_string(dpi) +
                              " -aa no -aaVector no -singlefile " + ShellQuote(pdf) + " " +
                              ShellQuote(base);
  if (RunCommand(command) != 0) return Raster{};
  return ReadPpm(base + ".ppm");
}

Raster RasterizePdfExactly(const std::string& pdf, int dpi, const TempDir& scratch) {
  const std::string out = scratch.File("page-gs.ppm");
  const std::string command = "gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=ppmraw -r" +
                              std::to_string(dpi) + " -dGraphicsAlphaBits=1 -dTextAlphaBits=1 -o " +
                              ShellQuote(out) + " " + ShellQuote(pdf);
  if (RunCommand(command) != 0) return Raster{};
  return ReadPpm(out);
}

namespace {
// A printer's colour handling may move a colour by a step or two.
bool Near(std::uint32_t a, std::uint32_t b) {
  for (const int shift : {0, 8, 16}) {
    const int difference =
        static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    if (difference > 6 || difference < -6) return false;
  }
  return true;
}

bool NearAny(std::uint32_t pixel, const std::set<std::uint32_t>& colours) {
  return std::any_of(colours.begin(), colours.end(),
                     [pixel](std::uint32_t colour) { return Near(pixel, colour); });
}

Box BoxWhere(const Raster& raster, const std::function<bool(std::uint32_t)>& counts) {
  Box box{raster.width, raster.height, 0, 0};
  for (int y = 0; y < raster.height; ++y) {
    for (int x = 0; x < raster.width; ++x) {
      if (!counts(raster.At(x, y))) continue;
      box.left = std::min(box.left, x);
      box.top = std::min(box.top, y);
      box.right = std::max(box.right, x + 1);
      box.bottom = std::max(box.bottom, y + 1);
    }
  }
  if (box.right == 0) return Box{};
  return box;
}
}  // namespace

Box BoxOf(const Raster& raster, const std::set<std::uint32_t>& colours) {
  return BoxWhere(raster, [&colours](std::uint32_t pixel) { return NearAny(pixel, colours); });
}

Box InkBox(const Raster& raster) {
  return BoxWhere(raster, [](std::uint32_t pixel) { return pixel != 0xFFFFFF; });
}

std::string PdfInfo(const std::string& pdf, const std::string& field) {
  std::istringstream lines(CommandOutput("pdfinfo " + ShellQuote(pdf)));
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind(field + ":", 0) != 0) continue;
    const std::size_t value = line.find_first_not_of(' ', field.size() + 1);
    return value == std::string::npos ? std::string() : line.substr(value);
  }
  return {};
}
