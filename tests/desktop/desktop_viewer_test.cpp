// The whole viewer on the desktop, driven from outside as a person would:
// the picture shows exactly as in a headless run of the same files, the
// caption is the same, and a key moves to the next picture.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/peer_tools.h"
#include "support/temp_dir.h"
#include "xdnd_drop.h"

namespace {
const std::string kTools = ZENTROPE_TOOLS_DIR;
const std::string kProgram = kTools + "/../zentrope";
constexpr char kPhotoCaption[] = "Zentrope - GIF File: [photo.gif] (640x480x8-bits)";
constexpr char kNextCaption[] = "Zentrope - JPG File: [photo.jpg] (640x480x24-bits)";
constexpr int kRowWidth = 1000;

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
    // A run without a display settles the first start, so that the desktop
    // runs show no hints; its screen is what the desktop must show.
    ASSERT_EQ(RunCommand("cd " + ShellQuote(dir_.File("s")) + " && " + environment_ +
                         "ZENTROPE_SCREEN=" + ShellQuote(headless_screen_) + " " +
                         ShellQuote(kProgram) + " -headless photo.gif"),
              0);
  }

  void TearDown() override {
    // Gone before the next test looks for its window.
    if (!pid_.empty()) {
      RunCommand("kill " + pid_ + " 2>/dev/null; for i in $(seq 50); do kill -0 " + pid_ +
                 " 2>/dev/null || break; sleep 0.1; done");
    }
  }

  // Starts the viewer on the desktop and waits for its main window.
  std::string StartViewer(const std::string& file) {
    const std::string argument = file.empty() ? std::string() : " " + ShellQuote(file);
    pid_ = Trimmed(CommandOutput("cd " + ShellQuote(dir_.File("s")) + " && { " + environment_ +
                                 "exec " + ShellQuote(kProgram) + argument +
                                 " >/dev/null 2>&1 & } && echo $!"));
    return Trimmed(CommandOutput("timeout 20 xdotool search --sync --all --pid " + pid_ +
                                 " --name '^Zentrope - ' | head -1"));
  }

  // Waits up to four seconds for the caption; returns the last one read.
  std::string WaitForCaption(const std::string& window, const std::string& wanted) {
    std::string caption = Caption(window);
    for (int i = 0; i < 40 && caption != wanted; ++i) {
      RunCommand("sleep 0.1");
      caption = Caption(window);
    }
    return caption;
  }

  // The red of each pixel of one row of the window, `width` wide from (x, y).
  std::vector<int> RedRow(const std::string& window, int x, int y, int width) {
    std::istringstream bytes(CommandOutput(
        "import -window " + window + " -crop " + std::to_string(width) + "x1+" + std::to_string(x) +
        "+" + std::to_string(y) + " +repage -depth 8 r:- | od -An -tu1 -v"));
    std::vector<int> reds;
    for (int red = 0; bytes >> red;) reds.push_back(red);
    return reds;
  }

  // Waits until two looks at the row agree: the picture has stopped changing.
  std::vector<int> SettledRedRow(const std::string& window, int y) {
    std::vector<int> last = RedRow(window, 0, y, kRowWidth);
    for (int i = 0; i < 40; ++i) {
      RunCommand("sleep 0.1");
      std::vector<int> now = RedRow(window, 0, y, kRowWidth);
      if (now == last) return now;
      last = std::move(now);
    }
    return last;
  }

  std::string Caption(const std::string& window) {
    const std::string line = CommandOutput("xprop -id " + window + " _NET_WM_NAME");
    const auto open = line.find('"');
    const auto close = line.rfind('"');
    return open == std::string::npos || close <= open ? std::string()
                                                      : line.substr(open + 1, close - open - 1);
  }

  TempDir dir_;
  const std::string headless_screen_ = dir_.File("headless.png");
  std::string environment_;
  std::string pid_;
};
}  // namespace

TEST_F(DesktopViewer, ShowsThePictureAsTheHeadlessRunDoes) {
  const std::string window = StartViewer("photo.gif");
  ASSERT_FALSE(window.empty());
  EXPECT_EQ(WaitForCaption(window, kPhotoCaption), kPhotoCaption);
  SettledRedRow(window, 100);

  const std::string desktop_screen = dir_.File("desktop.png");
  ASSERT_EQ(RunCommand("import -window " + window + " " + ShellQuote(desktop_screen)), 0);
  const std::string wanted = dir_.File("wanted.png");
  ASSERT_EQ(RunCommand("convert " + ShellQuote(headless_screen_) + " -crop 640x480+0+0 +repage " +
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
  EXPECT_EQ(WaitForCaption(window, kNextCaption), kNextCaption);
}

TEST_F(DesktopViewer, WithoutAFileTheViewerOpensEmpty) {
  const std::string window = StartViewer("");
  ASSERT_FALSE(window.empty());
  const std::string empty = "Zentrope - Use File|Open... to select files, press F1 for help";
  EXPECT_EQ(WaitForCaption(window, empty), empty);
}

TEST_F(DesktopViewer, AMenuOpenedByItsMnemonicRunsTheChosenItem) {
  const std::string window = StartViewer("photo.gif");
  ASSERT_FALSE(window.empty());
  ASSERT_EQ(WaitForCaption(window, kPhotoCaption), kPhotoCaption);
  // Alt+I opens the Image menu; T is Rotate's mnemonic there.
  ASSERT_EQ(RunCommand("xdotool windowfocus --sync " + window + " key alt+i"), 0);
  ASSERT_FALSE(Trimmed(CommandOutput("timeout 5 xdotool search --sync --onlyvisible --name "
                                     "'^zentrope$' | head -1"))
                   .empty())
      << "the menu did not open";
  ASSERT_EQ(RunCommand("xdotool key t"), 0);
  const std::string rotated = "Zentrope - GIF File: [photo.gif] (480x640x8-bits)";
  EXPECT_EQ(WaitForCaption(window, rotated), rotated);
}

TEST_F(DesktopViewer, RightDragPansAPictureLargerThanTheWindow) {
  // Red grows from left to right, one step every dozen columns.
  ASSERT_EQ(RunCommand("convert -size 400x3000 gradient:red-blue -rotate 90 -type truecolor "
                       "BMP3:" +
                       ShellQuote(dir_.File("s/wide.bmp"))),
            0);
  const std::string window = StartViewer("wide.bmp");
  ASSERT_FALSE(window.empty());
  const std::string fitted = "Zentrope - BMP File: [wide.bmp] (1500x200x24-bits)";
  ASSERT_EQ(WaitForCaption(window, fitted), fitted);
  // A click zooms in a step, so that there is more picture than window.
  ASSERT_EQ(RunCommand("xdotool mousemove --window " + window + " 512 92 click 1"), 0);
  const std::string zoomed = "Zentrope - BMP File: [wide.bmp] (750x200x24-bits)";
  ASSERT_EQ(WaitForCaption(window, zoomed), zoomed);
  const std::vector<int> before = SettledRedRow(window, 100);
  ASSERT_EQ(before.size(), static_cast<std::size_t>(kRowWidth));

  ASSERT_EQ(RunCommand("xdotool mousemove --window " + window + " 600 150 mousedown 3 " +
                       "mousemove --window " + window + " 400 150 mouseup 3"),
            0);
  // Dragged 200 pixels to the left, the picture shows what stood 200 pixels
  // further right, give or take the rounding to whole picture pixels.
  const auto shifted_by = [&before](const std::vector<int>& after) {
    for (int shift = 195; shift <= 205 && after.size() == before.size(); ++shift) {
      bool same = true;
      for (int x = 100; x < 700 && same; ++x) same = after[x] == before[x + shift];
      if (same) return shift;
    }
    return 0;
  };
  int shift = 0;
  for (int i = 0; i < 40 && shift == 0; ++i) {
    RunCommand("sleep 0.1");
    shift = shifted_by(RedRow(window, 0, 100, kRowWidth));
  }
  EXPECT_NE(shift, 0) << "the picture did not move by the drag";
}

TEST_F(DesktopViewer, DroppedFilesBecomeTheListInDropOrder) {
  const std::string window = StartViewer("photo.gif");
  ASSERT_FALSE(window.empty());
  ASSERT_EQ(WaitForCaption(window, kPhotoCaption), kPhotoCaption);
  std::string error;
  ASSERT_TRUE(DropFilesOnWindow(std::stoul(window), 300, 200,
                                {dir_.File("s/photo.jpg"), dir_.File("s/palette.gif")}, &error))
      << error;
  EXPECT_EQ(WaitForCaption(window, kNextCaption), kNextCaption);
  // Only the dropped files: the next one is the second dropped, not a sibling.
  ASSERT_EQ(RunCommand("xdotool windowfocus --sync " + window + " key space"), 0);
  const std::string second = "Zentrope - GIF File: [palette.gif] (256x256x8-bits)";
  EXPECT_EQ(WaitForCaption(window, second), second);
}

TEST_F(DesktopViewer, LOpensTheLogWindow) {
  const std::string window = StartViewer("photo.gif");
  ASSERT_FALSE(window.empty());
  ASSERT_EQ(WaitForCaption(window, kPhotoCaption), kPhotoCaption);
  ASSERT_EQ(RunCommand("xdotool windowfocus --sync " + window + " key l"), 0);
  const std::string log = Trimmed(CommandOutput(
      "timeout 5 xdotool search --sync --onlyvisible --name '^Zentrope - Log$' | head -1"));
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(Caption(log), "Zentrope - Log");
}
