#include "platform/wx/wx_cursors.h"

#include <wx/image.h>

#include <map>

namespace {
wxCursor MakeImageCursor(int resource) {
  const std::optional<CursorImage> found = FindCursorImage(resource);
  if (!found || found->width <= 0 || found->height <= 0) return wxCursor(wxCURSOR_ARROW);
  const CursorImage& picture = *found;
  wxImage image(picture.width, picture.height);
  image.InitAlpha();
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const std::uint32_t argb = picture.pixels[static_cast<std::size_t>(y) * picture.width + x];
      image.SetRGB(x, y, (argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
      image.SetAlpha(x, y, static_cast<unsigned char>(argb >> 24));
    }
  }
  image.SetOption(wxIMAGE_OPTION_CUR_HOTSPOT_X, picture.hot_spot.x);
  image.SetOption(wxIMAGE_OPTION_CUR_HOTSPOT_Y, picture.hot_spot.y);
  return wxCursor(image);
}
}  // namespace

const wxCursor& WxCursorFor(const MouseCursor& cursor) {
  static const wxCursor arrow(wxCURSOR_ARROW);
  static const wxCursor cross(wxCURSOR_CROSS);
  static const wxCursor hidden(wxCURSOR_BLANK);
  static std::map<int, wxCursor> images;
  switch (cursor.kind) {
    case MouseCursorKind::kArrow:
      return arrow;
    case MouseCursorKind::kCross:
      return cross;
    case MouseCursorKind::kHidden:
      return hidden;
    case MouseCursorKind::kImage:
      break;
  }
  auto found = images.find(cursor.resource);
  if (found == images.end()) {
    found = images.emplace(cursor.resource, MakeImageCursor(cursor.resource)).first;
  }
  return found->second;
}
