// The desktop's saver is held off exactly while the program swallows the
// screen-save request that the backend sends it.
#include <gtest/gtest.h>

#include "platform/headless/headless_backend.h"
#include "platform/tick_count.h"

namespace {
// Swallows the request while `swallow`; passes everything else on.
class SaverHandler : public WindowHandler {
 public:
  explicit SaverHandler(PlatformBackend& backend) : backend_(backend) {}
  bool swallow = false;
  int requests = 0;
  void OnMessage(TWindow& window, const Message& message) override {
    if (message.id != MessageId::kSysCommand) return;
    if ((message.command & kScCodeMask) == kScScreenSave) {
      ++requests;
      if (swallow) return;
    }
    backend_.DefaultSystemCommand(window, message.command);
  }
  void OnPaint(TWindow&, TDeviceContext&, const Rect&, bool) override {}

 private:
  PlatformBackend& backend_;
};

WindowParams Shown(WindowId owner = kNoWindow) {
  WindowParams params;
  params.visible = true;
  params.owner = owner;
  return params;
}
}  // namespace

TEST(ScreenSaverInhibit, SwallowedRequestHoldsTheDesktopSaverOffUntilPassedOn) {
  THeadlessBackend backend(HeadlessOptions{});
  EXPECT_FALSE(backend.AskScreenSave());  // no window: nothing can swallow it
  SaverHandler handler(backend);
  auto window = backend.CreateWindow(Shown(), &handler);
  handler.swallow = true;
  EXPECT_TRUE(backend.AskScreenSave());
  EXPECT_TRUE(backend.ScreenSaverInhibited());
  handler.swallow = false;
  EXPECT_FALSE(backend.AskScreenSave());
  EXPECT_FALSE(backend.ScreenSaverInhibited());
  // Passing the question on is no request to start a saver now...
  EXPECT_EQ(backend.ScreenSaverStarts(), 0);
  // ...but the program's own request (Test screen saver) is.
  backend.PostSystemCommand(window->Id(), kScScreenSave);
  backend.EventLoop().RunUntilIdle();
  EXPECT_EQ(backend.ScreenSaverStarts(), 1);
  EXPECT_EQ(backend.ScreenSaveQueries(), 3);
}

TEST(ScreenSaverInhibit, AskedPeriodicallyOfTheFirstShownTopLevelWindow) {
  HeadlessOptions options;
  options.virtual_clock = true;
  options.milliseconds_per_step = 1000;
  options.ask_screen_save = true;
  THeadlessBackend backend(options);
  SaverHandler main_handler(backend);
  SaverHandler text_handler(backend);
  auto hidden = backend.CreateWindow(WindowParams{}, &text_handler);
  auto main_window = backend.CreateWindow(Shown(), &main_handler);
  auto owned = backend.CreateWindow(Shown(main_window->Id()), &text_handler);
  main_handler.swallow = true;
  int steps = 0;
  backend.EventLoop().SetIdleHandler([&] { return ++steps < 45; });
  backend.EventLoop().RunUntilIdle();
  // 45 virtual seconds: asked at 20 and 40 seconds after the first look.
  EXPECT_EQ(main_handler.requests, 2);
  EXPECT_EQ(text_handler.requests, 0);
  EXPECT_TRUE(backend.ScreenSaverInhibited());
}
