// How a window learns its real size and tells its peer what changed.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/event_loop.h"
#include "platform/headless/headless_backend.h"

namespace {
class SizeJournal : public WindowHandler {
 public:
  std::vector<Message> sizes;
  std::vector<MessageId> others;
  void OnMessage(TWindow&, const Message& message) override {
    if (message.id == MessageId::kSize) {
      sizes.push_back(message);
    } else {
      others.push_back(message.id);
    }
  }
  void OnPaint(TWindow&, TDeviceContext&, const Rect&, bool) override {}
};

WindowParams Plain(Rect normal) {
  WindowParams params;
  params.placement.normal = normal;
  params.frame = false;
  params.menu = false;
  params.visible = true;
  return params;
}

Size SizeOf(const Message& message) {
  return Size{message.position.x, message.position.y};
}
}  // namespace

TEST(WindowGeometry, ReportedGeometryAloneSizesTheWindowWhenTheManagerAnswersLater) {
  HeadlessOptions options;
  options.report_geometry_later = true;
  THeadlessBackend backend(options);
  SizeJournal journal;
  auto window = backend.CreateWindow(Plain(Rect{0, 0, 200, 100}), &journal);
  const int changes_before = backend.PeerRecord(window->Id())->state_changes;

  window->SetPlacement(WindowPlacement{Rect{10, 10, 310, 160}, ShowState::kNormal});
  // Asked for, not yet granted: the old size stands and no kSize went out.
  EXPECT_EQ(window->ClientSize(), (Size{200, 100}));
  EXPECT_TRUE(journal.sizes.empty());
  EXPECT_EQ(window->Placement().normal, (Rect{10, 10, 310, 160}));
  EXPECT_GT(backend.PeerRecord(window->Id())->state_changes, changes_before);

  window->Show(ShowState::kMaximized);
  backend.EventLoop().RunUntilIdle();  // the manager answers once, with the end state
  ASSERT_EQ(journal.sizes.size(), 1u);
  EXPECT_EQ(SizeOf(journal.sizes[0]), (Size{1024, 768}));
  EXPECT_EQ(journal.sizes[0].param, static_cast<std::uint32_t>(ShowState::kMaximized));
  EXPECT_EQ(window->ScreenSurface().Width(), 1024);
  EXPECT_EQ(window->WindowRect(), (Rect{0, 0, 1024, 768}));
  // The restored rectangle survives maximizing.
  EXPECT_EQ(window->Placement().normal, (Rect{10, 10, 310, 160}));
}

TEST(WindowGeometry, UserResizeReportsThroughTheWindowWithoutCallingThePeerBack) {
  THeadlessBackend backend(HeadlessOptions{});
  SizeJournal journal;
  WindowParams params = Plain(Rect{0, 0, 200, 100});
  params.frame = true;
  auto window = backend.CreateWindow(params, &journal);
  backend.EventLoop().RunUntilIdle();
  const HeadlessPeerRecord& peer = *backend.PeerRecord(window->Id());
  const int changes = peer.state_changes;

  backend.UserPlaceWindow(window->Id(), Rect{50, 60, 350, 260});
  ASSERT_EQ(journal.sizes.size(), 1u);
  const Size client{300 - 2 * kFrameBorder, 200 - 2 * kFrameBorder - kCaptionHeight};
  EXPECT_EQ(SizeOf(journal.sizes[0]), client);
  EXPECT_EQ(window->Placement().normal, (Rect{50, 60, 350, 260}));
  EXPECT_EQ(window->UpdateRect(), window->ClientRect());
  EXPECT_EQ(peer.state_changes, changes);

  // A move that keeps the size sends nothing.
  backend.UserPlaceWindow(window->Id(), Rect{0, 0, 300, 200});
  EXPECT_EQ(journal.sizes.size(), 1u);
  EXPECT_EQ(window->WindowRect(), (Rect{0, 0, 300, 200}));

  backend.UserShowWindow(window->Id(), ShowState::kMinimized);
  ASSERT_EQ(journal.sizes.size(), 2u);
  EXPECT_EQ(SizeOf(journal.sizes[1]), (Size{0, 0}));
  EXPECT_EQ(window->Placement().state, ShowState::kMinimized);
  EXPECT_EQ(window->Placement().normal, (Rect{0, 0, 300, 200}));
  EXPECT_EQ(peer.state_changes, changes);
}

TEST(WindowGeometry, PeerHearsOfCaptureEnableSurfaceAndGoesBeforeTheSurface) {
  THeadlessBackend backend(HeadlessOptions{});
  SizeJournal first;
  SizeJournal second;
  auto a = backend.CreateWindow(Plain(Rect{0, 0, 20, 20}), &first);
  auto b = backend.CreateWindow(Plain(Rect{0, 0, 20, 20}), &second);
  const HeadlessPeerRecord& peer_a = *backend.PeerRecord(a->Id());

  a->SetCapture();
  EXPECT_TRUE(peer_a.captured);
  b->SetCapture();  // taken from a: a is told
  EXPECT_FALSE(peer_a.captured);
  EXPECT_FALSE(a->HasCapture());
  EXPECT_EQ(std::count(first.others.begin(), first.others.end(), MessageId::kCaptureChanged), 1);
  b->ReleaseCapture();  // its own release sends nothing
  EXPECT_TRUE(second.others.empty());
  b->SetCapture();
  backend.TakeCaptureAway();
  EXPECT_FALSE(b->HasCapture());
  EXPECT_EQ(second.others, (std::vector<MessageId>{MessageId::kCaptureChanged}));

  a->Enable(false);
  EXPECT_FALSE(peer_a.enabled);
  a->RecreateSurface();
  EXPECT_EQ(peer_a.surface_recreations, 1);

  const WindowId a_id = a->Id();
  a.reset();
  EXPECT_TRUE(backend.PeerRecord(a_id)->destroyed);
}

namespace {
// A peer that, like a desktop one, keeps a view of the surface's pixels and
// reads them when it goes.
class SurfaceViewPeer : public WindowPeer {
 public:
  explicit SurfaceViewPeer(int* width_seen) : width_seen_(width_seen) {}
  ~SurfaceViewPeer() override {
    if (surface_) *width_seen_ = surface_->Width();
  }
  void StateChanged(TWindow& window) override { surface_ = &window.ScreenSurface(); }
  void Present(TWindow&, const Rect&) override {}
  void SurfaceRecreated(TWindow& window) override { surface_ = &window.ScreenSurface(); }

 private:
  const TSurface* surface_ = nullptr;
  int* width_seen_;
};
}  // namespace

TEST(WindowGeometry, PeerStillSeesALiveSurfaceWhenDestroyed) {
  TDisplay display;
  TEventLoop loop;
  SizeJournal journal;
  int width_seen = 0;
  {
    TWindow window(loop, display, Plain(Rect{0, 0, 33, 10}), &journal,
                   std::make_unique<SurfaceViewPeer>(&width_seen));
    window.SetCaption("x");
    window.RecreateSurface();
  }
  EXPECT_EQ(width_seen, 33);
}

TEST(WindowMenu, ItemsAreFoundAnywhereAndChangesReachThePeer) {
  THeadlessBackend backend(HeadlessOptions{});
  SizeJournal journal;
  WindowParams params = Plain(Rect{0, 0, 100, 100});
  params.menu = true;
  params.menu_bar = TMenuBar({MenuItem::Submenu(
      1, "&File",
      {MenuItem::Command(102, "&Open...", "O"), MenuItem::Separator(),
       MenuItem::Submenu(2, "S&how", {MenuItem::Command(140, "S&how comments", "H")})})});
  auto window = backend.CreateWindow(params, &journal);
  EXPECT_EQ(window->MenuBar().Find(140)->shortcut, "H");
  EXPECT_EQ(window->MenuBar().Find(0), nullptr);  // the separator's id finds nothing
  EXPECT_TRUE(window->CheckMenuItem(140, true));
  EXPECT_FALSE(window->CheckMenuItem(140, true));  // no change, no news
  EXPECT_FALSE(window->EnableMenuItem(999, false));
  EXPECT_TRUE(window->EnableMenuItem(102, false));
  EXPECT_TRUE(window->MenuBar().Find(140)->checked);
  EXPECT_EQ(backend.PeerRecord(window->Id())->menu_item_changes,
            (std::vector<std::uint32_t>{140, 102}));
  window->SetMenuBar(TMenuBar{});
  EXPECT_EQ(backend.PeerRecord(window->Id())->menu_bar_changes, 1);
  EXPECT_EQ(MenuTextWithoutMnemonic("Save && &quit"), "Save & quit");
  EXPECT_EQ(MenuMnemonic("Save && &quit"), 'q');
  EXPECT_EQ(MenuMnemonic("A&&B"), 0);
}

namespace {
// Runs an enabler on every menu opening: Open is enabled only while `allow`.
class EnablingHandler : public WindowHandler {
 public:
  bool allow = false;
  std::vector<std::uint32_t> opened;
  std::vector<std::uint32_t> commands;
  void OnMessage(TWindow& window, const Message& message) override {
    if (message.id == MessageId::kInitMenuPopup) {
      opened.push_back(message.command);
      window.EnableMenuItem(102, allow);
    } else if (message.id == MessageId::kCommand) {
      commands.push_back(message.command);
    }
  }
  void OnPaint(TWindow&, TDeviceContext&, const Rect&, bool) override {}
};
}  // namespace

TEST(WindowMenu, ChoosingAnItemOpensItsMenusSoEnablersDecide) {
  THeadlessBackend backend(HeadlessOptions{});
  EnablingHandler handler;
  WindowParams params = Plain(Rect{0, 0, 100, 100});
  params.menu = true;
  params.menu_bar = TMenuBar({MenuItem::Submenu(
      1, "&File", {MenuItem::Submenu(7, "&Sub", {MenuItem::Command(102, "&Open")})})});
  auto window = backend.CreateWindow(params, &handler);
  EXPECT_FALSE(backend.ChooseMenuItem(window->Id(), 102));  // the enabler disabled it
  EXPECT_EQ(handler.opened, (std::vector<std::uint32_t>{1, 7}));
  handler.allow = true;
  EXPECT_TRUE(backend.ChooseMenuItem(window->Id(), 102));
  backend.EventLoop().RunUntilIdle();
  EXPECT_EQ(handler.commands, (std::vector<std::uint32_t>{102}));
  EXPECT_FALSE(backend.ChooseMenuItem(window->Id(), 7));  // a submenu is no command
  EXPECT_FALSE(backend.OpenMenu(window->Id(), 102));      // nor a command a menu
  window->ShowMenu(false);
  EXPECT_FALSE(backend.ChooseMenuItem(window->Id(), 102));
  EXPECT_FALSE(backend.OpenMenu(window->Id(), 1));
}
