#include "app/zentrope_app.h"

#include <ctime>

#include "app/window_texts.h"
#include "formats/register_formats.h"
#include "platform/random.h"
#include "settings/run_mode.h"

TZentropeApp::TZentropeApp()
    : name_(CurrentRunMode() == RunMode::Viewer ? kViewerAppName : kSaverAppName) {
  SeedRandom(static_cast<std::uint32_t>(std::time(nullptr)));
  RegisterPictureFormats();
}

TZentropeWin& TZentropeApp::CreateMainWindow(PlatformBackend& backend, StartupContext startup,
                                             bool start_minimized) {
  main_window_ = std::make_unique<TZentropeWin>(backend, name_, std::move(startup));
  ShowState show = ShowState::kMinimized;
  if (!start_minimized) {
    const int m = main_window_->Settings().Get(IntKey::MImage);
    show = m > 0 ? ShowState::kMaximized : m < 0 ? ShowState::kMinimized : ShowState::kNormal;
  }
  main_window_->Create(show);
  return *main_window_;
}

int TZentropeApp::Run(PlatformBackend& backend) {
  TEventLoop& loop = backend.EventLoop();
  while (main_window_ && !main_window_->IsClosed()) {
    const int code = loop.Run();
    if (code != kExitNoMoreInput) break;
    if (main_window_->Close()) break;
  }
  // A print or conversion run that could not handle every file fails.
  const TBatchRun* batch = main_window_ ? main_window_->BatchRun() : nullptr;
  const int exit_code = batch && batch->AnyFailed() ? kExitBatchFailed : 0;
  main_window_.reset();
  return exit_code;
}
