// Clipboard pictures are packed bitmaps from other programs: parse the header
// and, when it is accepted, draw every row into a small palette display
// surface the way a paste previews it, so every offset the header implies is
// exercised.
#include <cstdint>
#include <span>
#include <vector>

#include "platform/device_context.h"
#include "platform/display.h"
#include "platform/packed_dib.h"

namespace {
constexpr int kPreviewSide = 64;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  const auto header = ParsePackedDib(bytes);
  if (!header) return 0;
  static TDisplay display = [] {
    TDisplay d;
    d.SetDepth(8);
    return d;
  }();
  auto surface = display.CreateCompatibleSurface(kPreviewSide, kPreviewSide);
  TDeviceContext dc(*surface, &display);
  std::vector<ColorRef> table;
  for (int i = 0; i < header->colour_count; ++i) {
    const std::size_t at = kBitmapInfoHeaderSize + static_cast<std::size_t>(i) * kRgbQuadSize;
    table.push_back(MakeRgb(bytes[at + 2], bytes[at + 1], bytes[at]));
  }
  const DibLineFormat format =
      header->bits_per_pixel == 24 ? DibLineFormat::kBgr24 : DibLineFormat::kIndexedRgbTable;
  const std::size_t line_bytes =
      static_cast<std::size_t>(header->width) * (header->bits_per_pixel / 8);
  for (int row = 0; row < header->height && row < kPreviewSide; ++row) {
    const std::size_t at = header->bits_offset + static_cast<std::size_t>(row) * header->row_stride;
    dc.DrawDibLine(0, header->height - 1 - row, header->width, bytes.subspan(at, line_bytes),
                   format, table);
  }
  const auto capture = CapturePackedDib(*surface, surface->Bounds(), nullptr);
  if (!ParsePackedDib(capture)) __builtin_trap();  // our own capture must parse back
  return 0;
}
