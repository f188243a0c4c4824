// The whole viewer on the desktop, driven from outside as a person would:
// the picture shows exactly as in a headless run of the same files, the
// caption is the same, and a key moves to the next picture.
#include <gtest/gtest.h>

#include <string>

#include "support/peer_tools.h"
#include "support/temp_dir.h"

namespace {
const std::string kTools = ZENTROPE_TOOLS_DIR;
const std::string kProgram = kTools + "/../zentrope";
constexpr char kPhotoCaption[] = "Zentrope - GIF File: [photo.gif] (640x480x8-bits)";
constexpr char kNextCaption[] = "Zentrope - JPG File: [photo.jpg] (640x480x24-bits)";

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

class DesktopViewer : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) GTEST_SKIP() << "no display";
    REQUIRE_PEER_TOOL("xdotool");
    REQUIRE_PEER_TOOL("xprop");
    REQUIRE_PEER_TOOL("import");
    REQUIRE_PEER_TOOL("compare");
    ASSERT_EQ(RunCommand(ShellQuote(kTools + "/make-samples") + " " + ShellQuote(dir_.File("s")) +
                         " >/dev/null"),
              0);
    environment_ = "ZENTROPE_WINDIR=" + ShellQuote(dir_.File("w")) + " ";
    ASSERT_EQ(RunCommand("mkdir -p " + ShellQuote(dir_.File("w"))), 0);
  }

  void TearDown() override {
    if (!pid_.empty()) RunCommand("kill " + pid_ + " 2>/dev/null; wait " + pid_ + " 2>/dev/null");
  }

  // Starts the viewer on the desktop and waits for its main window.
  std::string StartViewer(const std::string& file) {
    pid_ = Trimmed(CommandOutput("cd " + ShellQuote(dir_.File("s")) + " && " + environment_ +
                                 ShellQuote(kProgram) + " " + ShellQuote(file) +
                                 " >/dev/null 2>&1 & echo $!"));
    return Trimmed(
        CommandOutput("timeout 20 xdotool search --sync --name '^Zentrope - ' | head -1"));
  }

  std::string Caption(const std::string& window) {
    const std::string line = CommandOutput("xprop -id " + window + " _NET_WM_NAME");
    const auto open = line.find('"');
    const auto close = line.rfind('"');
    return open == std::string::npos || close <= open ? std::string()
                                                      : line.substr(open + 1, close - open - 1);
  }

  TempDir dir_;
  std::string environment_;
  std::string pid_;
};
}  // namespace

TEST_F(DesktopViewer, ShowsThePictureAsTheHeadlessRunDoes) {
  // The headless run comes first: it also settles the first start, so the
  // desktop run shows no hints.
  const std::string headless_screen = dir_.File("headless.png");
  ASSERT_EQ(RunCommand("cd " + ShellQuote(dir_.File("s")) + " && " + environment_ +
                       "ZENTROPE_SCREEN=" + ShellQuote(headless_screen) + " " +
                       ShellQuote(kProgram) + " -headless photo.gif"),
            0);
  const std::string window = StartViewer("photo.gif");
  ASSERT_FALSE(window.empty());
  RunCommand("sleep 1");
  EXPECT_EQ(Caption(window), kPhotoCaption);

  const std::string desktop_screen = dir_.File("desktop.png");
  ASSERT_EQ(RunCommand("import -window " + window + " " + ShellQuote(desktop_screen)), 0);
  const std::string wanted = dir_.File("wanted.png");
  ASSERT_EQ(RunCommand("convert " + ShellQuote(headless_screen) + " -crop 640x480+0+0 +repage " +
                       ShellQuote(wanted)),
            0);
  // The client area starts below the menu bar, whose height the theme
  // decides: try the rows whose first pixels match the picture's corner.
  const std::string corner = Trimmed(
      CommandOutput("convert " + ShellQuote(wanted) + " -crop 4x1+0+0 rgb:- | od -An -tx1"));
  bool identical = false;
  for (int top = 0; top <= 60 && !identical; ++top) {
    const std::string row =
        Trimmed(CommandOutput("convert " + ShellQuote(desktop_screen) + " -crop 4x1+0+" +
                              std::to_string(top) + " rgb:- | od -An -tx1"));
    if (row != corner) continue;
    const std::string shown = dir_.File("shown.png");
    RunCommand("convert " + ShellQuote(desktop_screen) + " -crop 640x480+0+" + std::to_string(top) +
               " +repage " + ShellQuote(shown));
    identical = Trimmed(CommandOutput("compare -metric AE " + ShellQuote(shown) + " " +
                                      ShellQuote(wanted) + " null: 2>&1")) == "0";
  }
  EXPECT_TRUE(identical) << "the picture differs from the headless screen";

  ASSERT_EQ(RunCommand("xdotool windowfocus --sync " + window + " key space"), 0);
  std::string caption;
  for (int i = 0; i < 40 && caption != kNextCaption; ++i) {
    RunCommand("sleep 0.1");
    caption = Caption(window);
  }
  EXPECT_EQ(caption, kNextCaption);
}
