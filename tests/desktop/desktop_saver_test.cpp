// The screen saver on the display, end to end, through the script that a
// person can also run by hand: installed by the viewer, started by the idle
// watcher, full screen, ended by movement beyond 16 pixels, and locked by
// its password.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/peer_tools.h"
#include "support/temp_dir.h"

namespace {
const std::string kBuild = std::string(ZENTROPE_TOOLS_DIR) + "/..";
const std::string kScript = std::string(ZENTROPE_TEST_DATA) + "/../../scripts/saver-desktop-check";

TEST(DesktopSaver, StartsOnIdleCoversTheScreenAndEndsOnlyAsItShould) {
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) GTEST_SKIP() << "no display";
  REQUIRE_PEER_TOOL("xdotool");
  REQUIRE_PEER_TOOL("xset");
  REQUIRE_PEER_TOOL("import");
  REQUIRE_PEER_TOOL("xautolock");
  TempDir dir;
  const std::string log = dir.File("check.log");
  const int status =
      RunCommand("SAVER_SHOT=" + ShellQuote(dir.File("saver.png")) + " timeout 120 " +
                 ShellQuote(kScript) + " " + ShellQuote(kBuild) + " >" + ShellQuote(log) + " 2>&1");
  EXPECT_EQ(status, 0) << ReadFileText(log);
}
}  // namespace
