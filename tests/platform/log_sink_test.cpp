#include "platform/log_sink.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace {

TEST(FormatLogText, ExpandsAtMostTwoStringOrNumberArguments) {
  EXPECT_EQ(FormatLogText("Loaded image %s in %ld milliseconds", "a.gif", 125L),
            "Loaded image a.gif in 125 milliseconds");
  EXPECT_EQ(FormatLogText("Started %s", "Zentrope"), "Started Zentrope");
  EXPECT_EQ(FormatLogText("%d%% done", 50), "50% done");
  EXPECT_EQ(FormatLogText("[%5d|%-4s|%04x]", 42, "ab"), "[   42|ab  |]")
      << "a third conversion has no argument";
  EXPECT_EQ(FormatLogText("%s and %d", 7, "text"), "7 and 0") << "mismatched kinds";
  EXPECT_EQ(FormatLogText("%c%c", 'o', 'k'), "ok");
  EXPECT_EQ(FormatLogText("%lu bytes", 4000000000UL), "4000000000 bytes");
  EXPECT_EQ(FormatLogText("no arguments %s"), "no arguments ");
  EXPECT_EQ(FormatLogText("100%"), "100%");
}

TEST(FormatLogText, CopiesUnsupportedConversionsInsteadOfMisreadingThem) {
  EXPECT_EQ(FormatLogText("%5.2f took %s", "a"), "%5.2f took a");
  EXPECT_EQ(FormatLogText("%n%s", "a"), "%na");
  EXPECT_EQ(FormatLogText("%*d|%s", 3, "b"), "|b")
      << "a '*' conversion is dropped with its argument";
  const std::string long_name(3000, 'x');
  EXPECT_EQ(FormatLogText("[%-10s]", long_name), "[" + long_name + "]");
}

class CollectingSink : public LogSink, public CommentSink {
 public:
  void AppendLogLine(std::string_view line) override { lines.emplace_back(line); }
  void AppendCommentChar(int ch) override { chars.push_back(ch); }
  std::vector<std::string> lines;
  std::vector<int> chars;
};

TEST(LogLine, PrefixesTheTimeOfDayAndGoesToTheInstalledSinkOnly) {
  LogLine("Stopped %s", "Zentrope");  // nothing installed: nothing happens
  AddCommentChar('x');

  CollectingSink sink;
  InstallLogSink(&sink);
  InstallCommentSink(&sink);
  LogLine("Saved %s as %s", "a.bmp", "b.gif");
  AddCommentChar('h');
  AddCommentChar(0);
  InstallLogSink(nullptr);
  InstallCommentSink(nullptr);
  LogLine("after");

  ASSERT_EQ(sink.lines.size(), 1u);
  EXPECT_TRUE(std::regex_match(sink.lines[0], std::regex("([01][0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9] "
                                                         "Saved a\\.bmp as b\\.gif")))
      << sink.lines[0];
  EXPECT_EQ(sink.chars, (std::vector<int>{'h', 0}));
}

}  // namespace
