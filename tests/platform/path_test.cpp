#include "platform/path.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

TEST(SplitPath, SeparatesDirectoryNameAndExtension) {
  struct Case {
    const char* path;
    const char* directory;
    const char* name;
    const char* extension;
  };
  const Case cases[] = {
      {"/home/ann/pics/cat.GIF", "/home/ann/pics/", "cat", ".GIF"},
      {"cat.tar.gz", "", "cat.tar", ".gz"},
      {"/usr/bin/zentrope", "/usr/bin/", "zentrope", ""},
      {"dir.d/readme", "dir.d/", "readme", ""},
      {"/home/ann/.profile", "/home/ann/", ".profile", ""},
      {"..", "", "..", ""},
      {"/", "/", "", ""},
      {"pics/", "pics/", "", ""},
      {"trailing.", "", "trailing", "."},
      {"", "", "", ""},
  };
  for (const auto& c : cases) {
    const PathParts parts = SplitPath(c.path);
    EXPECT_EQ(parts.drive, "") << c.path;
    EXPECT_EQ(parts.directory, c.directory) << c.path;
    EXPECT_EQ(parts.name, c.name) << c.path;
    EXPECT_EQ(parts.extension, c.extension) << c.path;
    EXPECT_EQ(JoinPath(parts), c.path) << "round trip";
  }
}

TEST(JoinPath, AddsTheSeparatorADirectoryLacks) {
  EXPECT_EQ(JoinPath({"", "/tmp", "a", ".gif"}), "/tmp/a.gif");
  EXPECT_EQ(JoinPath({"", "/tmp/", "a", ".gif"}), "/tmp/a.gif");
  EXPECT_EQ(JoinPath({"", "/tmp", "", ""}), "/tmp");
  EXPECT_EQ(JoinPath({"", "", "a", ".gif"}), "a.gif");
}

TEST(CaseInsensitive, ComparesAsciiLettersOnly) {
  EXPECT_TRUE(EqualsNoCase(".SCR", ".scr"));
  EXPECT_FALSE(EqualsNoCase(".scr", ".scr "));
  EXPECT_EQ(CompareNoCase("abc", "ABD"), -1);
  EXPECT_EQ(CompareNoCase("abd", "ABC"), 1);
  EXPECT_EQ(CompareNoCase("ab", "ABC"), -1);
  EXPECT_EQ(CompareNoCase("[", "a"), -1) << "letters fold to lower case before comparing";
  EXPECT_TRUE(StartsWithNoCase("DelayBetweenImages", "delay"));
  EXPECT_TRUE(StartsWithNoCase("Delay", ""));
  EXPECT_FALSE(StartsWithNoCase("Delay", "DelayX"));
  EXPECT_EQ(ToLower("Caf\xC3\xA9.JPG"), "caf\xC3\xA9.jpg");
  EXPECT_EQ(ToUpper("a.gif"), "A.GIF");
}

TEST(ExpandHome, ReplacesOnlyALeadingTilde) {
  const char* saved = std::getenv("HOME");
  const std::string previous = saved ? saved : "";
  ASSERT_EQ(setenv("HOME", "/home/ann/", 1), 0);
  EXPECT_EQ(HomeDirectory(), "/home/ann");
  EXPECT_EQ(ExpandHome("~"), "/home/ann");
  EXPECT_EQ(ExpandHome("~/Pictures/..."), "/home/ann/Pictures/...");
  EXPECT_EQ(ExpandHome("~bob/x"), "~bob/x");
  EXPECT_EQ(ExpandHome("/tmp/~/x"), "/tmp/~/x");
  if (saved) setenv("HOME", previous.c_str(), 1);
}

}  // namespace
