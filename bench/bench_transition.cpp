// The Box transitions on the desktop backend: 50 rings, each shown by a
// synchronous repaint, paced over one second of tick count. The reported
// time is the tick count a transition took (manual time), so the mean says
// how far the pacing is from 1000 ms. Needs a display (xvfb-run -a works).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>

#include "platform/backend.h"
#include "platform/device_context.h"
#include "platform/surface.h"
#include "platform/tick_count.h"
#include "platform/window.h"
#include "show/transitions.h"

namespace {
constexpr int kClientWidth = 640;
constexpr int kClientHeight = 480;
constexpr int kSettleRounds = 30;

class BlankHandler : public WindowHandler {
 public:
  void OnMessage(TWindow&, const Message&) override {}
  void OnPaint(TWindow&, TDeviceContext&, const Rect&, bool) override {}
};

// Lets the toolkit map and size the window and the loop dispatch it.
void Settle(PlatformBackend& backend) {
  for (int i = 0; i < kSettleRounds; ++i) {
    backend.EventLoop().HasWaitingMessage();  // collects what the toolkit has
    backend.EventLoop().RunUntilIdle(10000);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

// A page that differs from the blank screen everywhere, so every copy changes
// what is shown.
std::unique_ptr<TSurface> StripedPage(Size size) {
  auto page = TSurface::Create(size.width, size.height, 24);
  if (!page) return nullptr;
  TDeviceContext dc(*page, nullptr);
  for (int y = 0; y < size.height; y += 8) {
    dc.FillRect(Rect{0, y, size.width, y + 8}, MakeRgb((y * 3) & 0xFF, 0x80, 0xFF - (y & 0xFF)));
  }
  return page;
}

void PlayBox(benchmark::State& state, int effect) {
  std::unique_ptr<PlatformBackend> backend = CreatePlatformBackend(BackendKind::kDesktop);
  if (backend->Name() != "desktop") {
    state.SkipWithError("no desktop: run under a display (xvfb-run -a)");
    return;
  }
  BlankHandler handler;
  WindowParams params;
  params.caption = "Zentrope transition";
  params.placement = WindowPlacement{Rect{0, 0, kClientWidth, kClientHeight}, ShowState::kNormal};
  params.menu = false;
  params.visible = true;
  std::unique_ptr<TWindow> window = backend->CreateWindow(params, &handler);
  Settle(*backend);
  const Size client = window->ClientSize();
  std::unique_ptr<TSurface> page_surface = StripedPage(client);
  if (!page_surface) {
    state.SkipWithError("no page surface");
    return;
  }
  TDeviceContext page(*page_surface, &backend->Display(), window->Id());
  const Rect whole{0, 0, client.width, client.height};
  std::int64_t ticks = 0;
  for (auto _ : state) {
    TDeviceContext screen = window->ClientDC();
    screen.FillRect(whole, MakeRgb(0, 0, 0));
    window->Present(whole);
    const std::uint32_t start = GetTickCount();
    PlayTransition(effect, screen, page, whole, client,
                   [&window](const Rect& area) { window->Present(area); });
    const std::uint32_t elapsed = GetTickCount() - start;
    ticks += elapsed;
    state.SetIterationTime(elapsed / 1000.0);
  }
  state.counters["ticks"] =
      benchmark::Counter(static_cast<double>(ticks), benchmark::Counter::kAvgIterations);
  state.counters["client_width"] = client.width;
  state.counters["client_height"] = client.height;
}

void BM_BoxInOnDesktop(benchmark::State& state) {
  PlayBox(state, kBoxInEffect);
}
void BM_BoxOutOnDesktop(benchmark::State& state) {
  PlayBox(state, kBoxOutEffect);
}
}  // namespace

BENCHMARK(BM_BoxInOnDesktop)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_BoxOutOnDesktop)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
