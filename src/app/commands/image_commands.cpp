// The Image menu and the keyboard-only view moves. Orientation and tone are
// settings applied on the way out, so these commands never touch the stored
// picture; they change a setting, rebuild what depends on it and redraw.
#include <array>
#include <cstdint>
#include <functional>

#include "app/command_ids.h"
#include "app/command_registry.h"
#include "app/commands/command_rules.h"
#include "app/commands/register_commands.h"
#include "app/main_window.h"
#include "platform/long_operation.h"

namespace {
// A quarter turn clockwise of each orientation code.
constexpr std::array<int, 8> kQuarterTurn = {3, 2, 7, 6, 1, 0, 5, 4};
constexpr int kMirrorBit = 2;
constexpr int kFlipBit = 4;
constexpr int kNeutralTone = 5;
constexpr int kLowestTone = 1;
constexpr int kHighestTone = 9;
constexpr int kCropProgressPercent = 50;
// An arrow moves the view by this fraction of what is in view.
constexpr int kPanDivisor = 8;

void Zoom(TZentropeWin& win, int step) {
  const Rect inner = win.InnerFrame();
  const TProfile& settings = win.Settings();
  win.Picture().Zoom(step, settings.Get(IntKey::AutoFit) != 0, settings.Get(IntKey::AutoScale) != 0,
                     inner.Width(), inner.Height());
}

// Tone changes reach the screen through the dithering engine's tables, which
// the display palette reloads.
void RebuildTones(TZentropeWin& win) {
  win.BuildDisplayPalette(false);
  win.RefreshFrame(false);
}

// Moves `key` by `step` when that stays within the tone range; false when it
// is already at the end, so nothing is rebuilt or repainted.
bool StepTone(TProfile& settings, IntKey key, int step) {
  const int value = settings.Get(key) + step;
  if (value < kLowestTone || value > kHighestTone) return false;
  settings.Set(key, value);
  return true;
}

void ToneCommand(TZentropeWin& win, IntKey key, int step) {
  if (StepTone(win.Settings(), key, step)) RebuildTones(win);
}

void Orient(TZentropeWin& win, const std::function<int(int)>& change) {
  TProfile& settings = win.Settings();
  settings.Set(IntKey::Rotate, change(settings.Get(IntKey::Rotate) & 7));
  win.RefreshFrame(false);
}

void Reset(TZentropeWin& win) {
  TProfile& settings = win.Settings();
  if (settings.Get(IntKey::Brightness) != kNeutralTone ||
      settings.Get(IntKey::Contrast) != kNeutralTone || settings.Get(IntKey::Invert) != 0) {
    settings.Set(IntKey::Brightness, kNeutralTone);
    settings.Set(IntKey::Contrast, kNeutralTone);
    settings.Set(IntKey::Invert, 0);
    RebuildTones(win);
  }
  settings.Set(IntKey::Rotate, 0);
  Zoom(win, 0);
  win.RefreshFrame(false);
}

void Crop(TZentropeWin& win) {
  ShowProgress(kCropProgressPercent);
  win.Picture().AutoCrop();
  EndProgress();
  win.RefreshFrame(false);
}

// The arrows in the order of their command ids: left, up, right, down.
constexpr std::array<int, 4> kArrowX = {-1, 0, 1, 0};
constexpr std::array<int, 4> kArrowY = {0, -1, 0, 1};

enum class ViewMove { kEighth, kWhole, kPixel, kResize };

void MoveView(TZentropeWin& win, ViewMove move, int arrow) {
  TImage& picture = win.Picture();
  const ImageSize view = picture.GetViewSize();
  const int dx = kArrowX[arrow];
  const int dy = kArrowY[arrow];
  switch (move) {
    case ViewMove::kEighth:
      picture.Pan(dx * view.width / kPanDivisor, dy * view.height / kPanDivisor);
      break;
    case ViewMove::kWhole:
      picture.Pan(dx * view.width, dy * view.height);
      break;
    case ViewMove::kPixel:
      picture.Pan(dx, dy);
      break;
    case ViewMove::kResize:
      picture.SetViewSize(view.width + dx, view.height + dy);
      break;
  }
  win.RefreshFrame(false);
}

CommandBinding ForImage(std::function<void(TZentropeWin&)> run, bool defer_if_busy = false) {
  return CommandBinding{std::move(run), ImageShown, nullptr, defer_if_busy};
}

void AddImage(TCommandRegistry& registry, std::uint32_t id,
              std::function<void(TZentropeWin&)> run) {
  registry.Add(id, ForImage(std::move(run)));
}
}  // namespace

void RegisterImageCommands(TCommandRegistry& registry) {
  AddImage(registry, CM_ZOOM_IN, [](TZentropeWin& win) {
    Zoom(win, +1);
    win.RefreshFrame(false);
  });
  AddImage(registry, CM_CROP, Crop);
  AddImage(registry, CM_ZOOM_OUT, [](TZentropeWin& win) {
    Zoom(win, -1);
    win.RefreshFrame(false);
  });
  AddImage(registry, CM_ROTATE,
           [](TZentropeWin& win) { Orient(win, [](int code) { return kQuarterTurn[code]; }); });
  AddImage(registry, CM_MIRROR,
           [](TZentropeWin& win) { Orient(win, [](int code) { return code ^ kMirrorBit; }); });
  AddImage(registry, CM_FLIP,
           [](TZentropeWin& win) { Orient(win, [](int code) { return code ^ kFlipBit; }); });
  AddImage(registry, CM_BRIGHTER,
           [](TZentropeWin& win) { ToneCommand(win, IntKey::Brightness, +1); });
  AddImage(registry, CM_DIMMER,
           [](TZentropeWin& win) { ToneCommand(win, IntKey::Brightness, -1); });
  AddImage(registry, CM_MORE_CONTRAST,
           [](TZentropeWin& win) { ToneCommand(win, IntKey::Contrast, +1); });
  AddImage(registry, CM_LESS_CONTRAST,
           [](TZentropeWin& win) { ToneCommand(win, IntKey::Contrast, -1); });
  AddImage(registry, CM_INVERT, [](TZentropeWin& win) {
    TProfile& settings = win.Settings();
    settings.Set(IntKey::Invert, settings.Get(IntKey::Invert) ^ 1);
    RebuildTones(win);
  });
  AddImage(registry, CM_RESET, Reset);
  registry.Add(CM_RELOAD, ForImage([](TZentropeWin& win) { win.LoadCurrent(); }, true));

  constexpr std::array<ViewMove, 4> kMoves = {ViewMove::kEighth, ViewMove::kWhole, ViewMove::kPixel,
                                              ViewMove::kResize};
  for (int group = 0; group < 4; ++group) {
    for (int arrow = 0; arrow < 4; ++arrow) {
      const auto id = static_cast<std::uint32_t>(CM_PAN_LEFT + group * 4 + arrow);
      const ViewMove move = kMoves[group];
      registry.Add(id,
                   CommandBinding{[move, arrow](TZentropeWin& win) { MoveView(win, move, arrow); },
                                  nullptr, nullptr, false});
    }
  }
}
