#include "app/main_window.h"

#include <utility>

#include "app/command_ids.h"
#include "app/command_table.h"
#include "app/commands/help_file.h"
#include "app/text_window.h"
#include "app/window_texts.h"
#include "files/file_pkg.h"
#include "formats/gif_animation.h"
#include "image/picture_formats.h"
#include "platform/display.h"
#include "platform/log_sink.h"
#include "platform/path.h"
#include "platform/tick_count.h"
#include "platform/window_placement.h"
#include "settings/run_mode.h"

namespace {
PlacementThousandths StoredPlacement(const TProfile& settings, IntKey x) {
  const int first = static_cast<int>(x);
  auto at = [&](int offset) { return settings.Get(static_cast<IntKey>(first + offset)); };
  return PlacementThousandths{at(0), at(1), at(2), at(3), at(4)};
}

void StorePlacement(TProfile& settings, IntKey x, const PlacementThousandths& placement) {
  const int first = static_cast<int>(x);
  settings.Set(static_cast<IntKey>(first), placement.x);
  settings.Set(static_cast<IntKey>(first + 1), placement.y);
  settings.Set(static_cast<IntKey>(first + 2), placement.width);
  settings.Set(static_cast<IntKey>(first + 3), placement.height);
  settings.Set(static_cast<IntKey>(first + 4), placement.show);
}

ShowState ShowStateOf(int m) {
  if (m > 0) return ShowState::kMaximized;
  if (m < 0) return ShowState::kMinimized;
  return ShowState::kNormal;
}
}  // namespace

TZentropeWin::TZentropeWin(PlatformBackend& backend, std::string title, StartupContext startup)
    : backend_(backend),
      title_(std::move(title)),
      startup_(std::move(startup)),
      dither_(settings_.Get(IntKey::DitherQuality)),
      image_(std::make_unique<TImage>()),
      format_name_(kUnknownFormatName),
      line_(static_cast<std::size_t>(kMaxOutputSize) * 3) {
  names_.fill(std::string(kNoFile));
  files_.UseSettings(&settings_);
  const std::uint32_t now = GetTickCount();
  last_image_time_ = last_sound_time_ = last_movie_time_ = now;
  CreateMedia();
}

TZentropeWin::~TZentropeWin() {
  if (window_ && window_->MouseCursor() != MouseCursor::Arrow()) {
    window_->SetCursor(MouseCursor::Arrow());
  }
  InstallProgressDisplay(nullptr);
  InstallLongOperationPump(nullptr);
  backend_.EventLoop().SetPreDispatchFilter(nullptr);
  backend_.EventLoop().SetIdleHandler(nullptr);
  DestroyTextWindows();
  files_.Clear();
  page_.reset();
  palette_.reset();
  image_.reset();
  window_.reset();
}

TDisplay& TZentropeWin::Display() const {
  return backend_.Display();
}

ColorRef TZentropeWin::BackgroundColour() const {
  return MakeRgb(settings_.Get(IntKey::BackgroundRed), settings_.Get(IntKey::BackgroundGreen),
                 settings_.Get(IntKey::BackgroundBlue));
}

ColorRef TZentropeWin::ForegroundColour() const {
  return MakeRgb(settings_.Get(IntKey::ForegroundRed), settings_.Get(IntKey::ForegroundGreen),
                 settings_.Get(IntKey::ForegroundBlue));
}

void TZentropeWin::Create(ShowState show) {
  WindowParams params;
  params.caption = title_;
  params.placement =
      PlacementFromThousandths(Display().ScreenSize(), StoredPlacement(settings_, IntKey::XImage));
  params.placement.state = ShowState::kNormal;
  params.topmost = settings_.Get(IntKey::AlwaysOnTop) != 0;
  params.menu_bar = MainMenuBar();
  params.visible = false;
  window_ = backend_.CreateWindow(params, this);
  display_depth_ = Display().Depth();
  CreateTextWindows();
  window_->Show(show);
  SetUp();
}

void TZentropeWin::SetUp() {
  help_open_ = false;
  if (settings_.Get(IntKey::FillWindow) != 0) {
    settings_.Set(IntKey::FillWindow, 0);
    ToggleFillWindow();
  }
  if (settings_.Get(IntKey::ShowComments) != 0) ToggleTextWindowOnAtStart(CM_SHOW_COMMENTS);
  if (settings_.Get(IntKey::ShowLog) != 0) ToggleTextWindowOnAtStart(CM_SHOW_LOG);

  TEventLoop& loop = backend_.EventLoop();
  InstallLongOperationPump(&loop);
  InstallProgressDisplay(this);
  InstallSlideshow();
  loop.SetPreDispatchFilter([this](const Message& message) { return PreDispatch(message); });
  loop.SetIdleHandler(TEventLoop::IdleHandler([this] { return IdleStep(); }));
  set_up_ = true;
  LogLine(kStartedLog, kProgramName);
  loop.PostCommand(window_->Id(), CM_STARTUP);
  SetFrameFromPoint(Point{0, 0}, false);
}

void TZentropeWin::ToggleFillWindow() {
  const bool fill = settings_.Get(IntKey::FillWindow) == 0;
  settings_.Set(IntKey::FillWindow, fill ? 1 : 0);
  if (window_->HasFrame() && fill) {
    window_->SetFrame(false);
    window_->ShowMenu(false);
  } else if (!window_->HasFrame() && !fill) {
    window_->SetFrame(true);
    window_->ShowMenu(true);
  }
}

void TZentropeWin::PlaceWindow(TWindow* window, int x, int y, int w, int h, int m) {
  if (window == nullptr) return;
  WindowPlacement placement =
      PlacementFromThousandths(Display().ScreenSize(), PlacementThousandths{x, y, w, h, 0});
  placement.state = window->Placement().state;
  window->SetTopmost(settings_.Get(IntKey::AlwaysOnTop) != 0);
  window->SetPlacement(placement);
  window->Show(ShowStateOf(m));
  window->InvalidateAll(true);
}

void TZentropeWin::CapturePlacement() {
  const Size screen = Display().ScreenSize();
  StorePlacement(settings_, IntKey::XImage, ThousandthsFromPlacement(screen, window_->Placement()));
  CaptureTextWindowPlacements();
}

void TZentropeWin::ApplySettings(const TProfile::IntValues& previous) {
  auto was = [&](IntKey key) { return previous[static_cast<int>(key)]; };
  ErasePage(true);
  BuildDisplayPalette(true);

  const TProfile::IntValues wanted = settings_.Ints();
  if ((wanted[static_cast<int>(IntKey::ShowLog)] != 0) != (was(IntKey::ShowLog) != 0)) {
    ToggleTextWindow(CM_SHOW_LOG);
  }
  if ((wanted[static_cast<int>(IntKey::ShowComments)] != 0) != (was(IntKey::ShowComments) != 0)) {
    ToggleTextWindow(CM_SHOW_COMMENTS);
  }
  settings_.SetInts(wanted);

  PlaceTextWindows();
  PlaceWindow(window_.get(), settings_.Get(IntKey::XImage), settings_.Get(IntKey::YImage),
              settings_.Get(IntKey::WImage), settings_.Get(IntKey::HImage),
              settings_.Get(IntKey::MImage));

  if (settings_.Get(IntKey::FillWindow) != was(IntKey::FillWindow)) {
    // The toggle flips the setting back to where it now stands.
    settings_.Set(IntKey::FillWindow, was(IntKey::FillWindow));
    ToggleFillWindow();
  }
  if (settings_.Get(IntKey::SoundEnable) == 0 && was(IntKey::SoundEnable) != 0) StopSound();
  if (settings_.Get(IntKey::DitherQuality) != was(IntKey::DitherQuality)) {
    dither_.SetQuality(settings_.Get(IntKey::DitherQuality));
  }
  RefreshCursor();
}

bool TZentropeWin::CanClose() {
  if (SaverLocked() && !AskSlideshowPassword()) return false;
  if (IsLongOperation()) {
    RequestCancel();
    backend_.EventLoop().PostCommand(window_->Id(), CM_EXIT);
    return false;
  }
  FillClient(BackgroundColour());
  return true;
}

bool TZentropeWin::SaverLocked() const {
  return CurrentRunMode() == RunMode::Saver && settings_.Get(IntKey::RunSlideshow) != 0 &&
         settings_.Get(IntKey::SlideshowPassword) == 1;
}

void TZentropeWin::CleanUp() {
  if (help_open_) backend_.Help().ShowHelp(window_->Id(), HelpFilePath(), HelpCommand::kQuit);
  if (settings_.Get(IntKey::RememberOptions) != 0) {
    settings_.Save();
  } else {
    settings_.WriteInt(IntKey::AutoResume);
    settings_.WriteInt(IntKey::StartupPassword);
  }
  if (settings_.Get(IntKey::AutoResume) != 0) {
    settings_.SaveDirectories();
    settings_.WriteCurrentImage(files_.Current());
  }
  StopSound();
  StopMovie();
  LogLine(kStoppedLog, kProgramName);
}

bool TZentropeWin::Close() {
  if (closed_) return true;
  if (!CanClose()) return false;
  CleanUp();
  closed_ = true;
  window_->ReleaseCapture();
  window_->Hide();
  backend_.EventLoop().PostQuit(0);
  return true;
}
