// The commands the main window handles itself: the start-up command,
// stepping through the list, closing, and the view commands that mouse
// clicks also reach. Commands that read files or change the list first make
// way for a running operation (DeferIfBusy) and run again after it.
#include <array>

#include "app/command_ids.h"
#include "app/main_window.h"
#include "platform/path.h"

namespace {
// A quarter turn clockwise of each orientation.
constexpr std::array<int, 8> kQuarterTurn = {3, 2, 7, 6, 1, 0, 5, 4};
}  // namespace

void TZentropeWin::RunCommand(std::uint32_t command_id) {
  OnCommand(command_id);
}

void TZentropeWin::OnCommand(std::uint32_t command_id) {
  switch (command_id) {
    case CM_STARTUP:
      Startup();
      return;
    case CM_NEXT:
    case CM_RANDOM:
    case CM_PREVIOUS:
      if (DeferIfBusy()) return;
      Navigate(static_cast<int>(command_id));
      return;
    case CM_CLOSE:
      FillClient(BackgroundColour());
      if (DeferIfBusy()) return;
      files_.Clear();
      LoadCurrent();
      ErasePage(false);
      return;
    case CM_RELOAD:
      if (DeferIfBusy()) return;
      LoadCurrent();
      return;
    case CM_EXIT:
      Close();
      return;
    case CM_SHOW_COMMENTS:
    case CM_SHOW_LOG:
      ToggleTextWindow(command_id);
      return;
    case CM_FILL_WINDOW:
      ToggleFillWindow();
      return;
    case CM_ZOOM_IN:
    case CM_ZOOM_OUT:
    case CM_CROP:
    case CM_ROTATE:
      if (EqualsNoCase(names_[kImageName], kNoFile)) return;
      StepView(command_id);
      return;
    default:
      return;
  }
}

void TZentropeWin::Navigate(int command) {
  if (command == CM_NEXT) {
    last_navigation_ = kNavigatedNext;
    files_.Next(kSortedOrder);
  } else if (command == CM_RANDOM) {
    last_navigation_ = kNavigatedRandom;
    files_.Next(kRandomOrder);
  } else if (last_navigation_ == kNavigatedNext || last_navigation_ == -kNavigatedNext) {
    last_navigation_ = -kNavigatedNext;
    files_.Previous(kSortedOrder);
  } else {
    last_navigation_ = -kNavigatedRandom;
    files_.Previous(kRandomOrder);
  }
  LoadCurrent();
}

void TZentropeWin::StepView(std::uint32_t command_id) {
  const Rect inner = InnerFrame();
  const bool fit = settings_.Get(IntKey::AutoFit) != 0;
  const bool scale = settings_.Get(IntKey::AutoScale) != 0;
  switch (command_id) {
    case CM_ZOOM_IN:
      image_->Zoom(+1, fit, scale, inner.Width(), inner.Height());
      break;
    case CM_ZOOM_OUT:
      image_->Zoom(-1, fit, scale, inner.Width(), inner.Height());
      break;
    case CM_CROP:
      ShowProgress(50);
      image_->AutoCrop();
      EndProgress();
      break;
    case CM_ROTATE:
      settings_.Set(IntKey::Rotate, kQuarterTurn[settings_.Get(IntKey::Rotate) & 7]);
      break;
    default:
      return;
  }
  RefreshFrame(false);
}
