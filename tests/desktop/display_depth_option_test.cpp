// The emulated palette display asked for on the command line holds for a
// scripted run without a display as much as for the desktop.
#include <gtest/gtest.h>

#include <string>

#include "support/peer_tools.h"
#include "support/temp_dir.h"

namespace {
const std::string kTools = ZENTROPE_TOOLS_DIR;
const std::string kProgram = kTools + "/../zentrope";

// The number of colours on the screen a scripted run of photo.jpg leaves.
int ScreenColours(const TempDir& dir, const std::string& option) {
  const std::string screen = dir.File("screen" + option + ".png");
  const std::string run = "cd " + ShellQuote(dir.File("s")) +
                          " && ZENTROPE_WINDIR=" + ShellQuote(dir.File("w")) +
                          " ZENTROPE_SCRIPT=" + ShellQuote(dir.File("script")) +
                          " ZENTROPE_SCREEN=" + ShellQuote(screen) + " " + ShellQuote(kProgram) +
                          " -headless " + option + " photo.jpg";
  if (RunCommand(run) != 0) return -1;
  const std::string count = CommandOutput("identify -format %k " + ShellQuote(screen));
  return count.empty() ? -1 : std::stoi(count);
}
}  // namespace

TEST(DisplayDepthOption, ReachesAScriptedRunWithoutADisplay) {
  REQUIRE_PEER_TOOL("identify");
  TempDir dir;
  ASSERT_EQ(RunCommand(ShellQuote(kTools + "/make-samples") + " " + ShellQuote(dir.File("s")) +
                       " >/dev/null && mkdir " + ShellQuote(dir.File("w"))),
            0);
  ASSERT_TRUE(WriteFileText(dir.File("script"), "wait 10\n"));
  EXPECT_GT(ScreenColours(dir, ""), 256) << "a photograph on a true-colour screen";
  const int eight_bits = ScreenColours(dir, "-depth=8");
  EXPECT_GT(eight_bits, 2);
  EXPECT_LE(eight_bits, 256);
  EXPECT_EQ(ScreenColours(dir, "-depth=1"), 2);
}
