// The saver run as a hack of the desktop's saver: it draws inside the window
// it is given instead of making its own, and follows that window's size.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/saver_target.h"
#include "support/temp_dir.h"

// Last: its macros (None, Status) clash with the test framework.
#include <X11/Xlib.h>

extern char** environ;

namespace {
const std::string kProgram = std::string(ZENTROPE_TOOLS_DIR) + "/../zentrope";

const char* NoEnvironment(const char*) {
  return nullptr;
}

TEST(SaverTarget, WindowIdsAreDecimalOrHexAndNothingElse) {
  EXPECT_EQ(ParseXWindowId("4194311"), 4194311u);
  EXPECT_EQ(ParseXWindowId("0x400007"), 0x400007u);
  EXPECT_EQ(ParseXWindowId("0X1a"), 0x1au);
  for (const char* bad :
       {"", "0", "0x", "0x0", "-5", "0x-5", "12ab", "0xg1", " 12", "4294967296"}) {
    EXPECT_FALSE(ParseXWindowId(bad)) << bad;
  }
}

TEST(SaverTarget, TheVariableWinsOverRootAndNeitherMeansOwnWindow) {
  EXPECT_FALSE(SaverTargetFromStart({"/s"}, NoEnvironment));
  const std::optional<SaverTarget> root = SaverTargetFromStart({"/s", "-root"}, NoEnvironment);
  ASSERT_TRUE(root);
  EXPECT_TRUE(root->window_id.empty());
  const auto named = [](const char* name) -> const char* {
    return std::string(name) == "XSCREENSAVER_WINDOW" ? "0x2a" : nullptr;
  };
  const std::optional<SaverTarget> given = SaverTargetFromStart({"-root"}, named);
  ASSERT_TRUE(given);
  EXPECT_EQ(given->window_id, "0x2a");
}

// A saver copy started as the desktop's saver starts its hacks; ended with the test.
class SaverProcess {
 public:
  SaverProcess(const std::string& copy, const std::string& window_id, const std::string& errors) {
    std::vector<std::string> variables{"XSCREENSAVER_WINDOW=" + window_id, "GDK_BACKEND=x11"};
    for (char** entry = environ; *entry != nullptr; ++entry) {
      const std::string text = *entry;
      if (text.rfind("XSCREENSAVER_WINDOW=", 0) != 0 && text.rfind("GDK_BACKEND=", 0) != 0) {
        variables.push_back(text);
      }
    }
    std::vector<char*> envp;
    for (auto& text : variables) envp.push_back(text.data());
    envp.push_back(nullptr);
    std::string program = copy;
    std::string option = "/s";
    char* argv[] = {program.data(), option.data(), nullptr};
    pid_ = fork();
    if (pid_ == 0) {
      if (freopen(errors.c_str(), "w", stderr) == nullptr) _exit(127);
      execve(program.c_str(), argv, envp.data());
      _exit(127);
    }
  }
  ~SaverProcess() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  bool Running() const { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }

 private:
  pid_t pid_ = -1;
};

class DesktopSaverRoot : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) GTEST_SKIP() << "no display";
    if (!std::filesystem::exists(kProgram)) GTEST_SKIP() << "program not built";
    x_ = XOpenDisplay(nullptr);
    ASSERT_NE(x_, nullptr);
    parent_ = XCreateSimpleWindow(x_, DefaultRootWindow(x_), 10, 10, 400, 300, 0, 0, 0);
    XMapWindow(x_, parent_);
    XSync(x_, False);
    copy_ = dir_.File("zentsv32.scr");
    std::filesystem::copy_file(kProgram, copy_);
  }
  void TearDown() override {
    if (x_ == nullptr) return;
    XDestroyWindow(x_, parent_);
    XCloseDisplay(x_);
  }

  // True once a child of the parent has exactly that size; waits up to 20 s.
  bool ChildOfSize(int width, int height) {
    for (int attempt = 0; attempt < 200; ++attempt) {
      Window root = 0, parent = 0, *children = nullptr;
      unsigned count = 0;
      bool found = false;
      if (XQueryTree(x_, parent_, &root, &parent, &children, &count) != 0) {
        for (unsigned i = 0; i < count && !found; ++i) {
          XWindowAttributes attributes{};
          found = XGetWindowAttributes(x_, children[i], &attributes) != 0 &&
                  attributes.width == width && attributes.height == height &&
                  attributes.map_state == IsViewable;
        }
        if (children) XFree(children);
      }
      if (found) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
  }

  TempDir dir_;
  Display* x_ = nullptr;
  Window parent_ = 0;
  std::string copy_;
};

TEST_F(DesktopSaverRoot, DrawsInsideTheGivenWindowAtItsSizeAndFollowsIt) {
  std::ostringstream id;
  id << "0x" << std::hex << parent_;
  SaverProcess saver(copy_, id.str(), dir_.File("errors.txt"));
  EXPECT_TRUE(ChildOfSize(400, 300)) << "no saver window inside the given one";
  XResizeWindow(x_, parent_, 500, 350);
  XSync(x_, False);
  EXPECT_TRUE(ChildOfSize(500, 350)) << "the saver did not follow the new size";
  EXPECT_TRUE(saver.Running());
}

TEST_F(DesktopSaverRoot, AnIdThatIsNoWindowIsReportedAndTheSaverRunsOnItsOwn) {
  const std::string errors = dir_.File("errors.txt");
  SaverProcess saver(copy_, "0x7ffffff0", errors);
  std::string text;
  for (int attempt = 0; attempt < 200 && text.find("is not a window") == std::string::npos;
       ++attempt) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::ifstream file(errors);
    text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  EXPECT_NE(text.find("\"0x7ffffff0\" is not a window on this display"), std::string::npos) << text;
  EXPECT_TRUE(saver.Running());
}
}  // namespace
