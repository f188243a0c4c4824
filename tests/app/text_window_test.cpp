#include "app/text_window.h"

#include <gtest/gtest.h>

#include <string>

#include "app/log_tee.h"
#include "app/text_lines.h"
#include "platform/headless/headless_backend.h"
#include "support/temp_dir.h"

namespace {
void Feed(TTextLines& lines, const std::string& text) {
  for (const char c : text) lines.AppendChar(static_cast<unsigned char>(c));
}

std::string Line(const TTextLines& lines, int row) {
  return std::string(lines.DisplayLine(row));
}

TEST(TextLines, LongCommentsWrapAtFullLinesOrAtTheFirstSpaceAfterColumn99) {
  TTextLines lines(TTextLines::Mode::kFixed);
  Feed(lines, std::string(300, 'a'));
  EXPECT_EQ(Line(lines, 0).size(), 132u);
  EXPECT_EQ(Line(lines, 1).size(), 132u);
  EXPECT_EQ(Line(lines, 2).size(), 36u);

  lines.AppendChar(0);
  EXPECT_TRUE(lines.IsEmpty());
  Feed(lines, std::string(100, 'b') + " next word" + std::string(40, ' ') + "x");
  EXPECT_EQ(Line(lines, 0), std::string(100, 'b'));
  EXPECT_EQ(Line(lines, 1), "next word" + std::string(40, ' ') + "x");
}

TEST(TextLines, LineEndsOfEveryKindGiveTheSameLines) {
  for (const std::string text : {"one\r\ntwo\r\n", "one\ntwo\n", "one\rtwo\r"}) {
    TTextLines lines(TTextLines::Mode::kFixed);
    Feed(lines, text);
    EXPECT_EQ(lines.GetText(), "one\r\ntwo\r\n") << "fed: " << text.size() << " bytes";
  }
  TTextLines blank(TTextLines::Mode::kFixed);
  Feed(blank, "a\n\nb");
  EXPECT_EQ(blank.GetText(), "a\r\n\r\nb\r\n") << "LF LF is an empty line between";
}

TEST(TextLines, TabsExpandToMultiplesOfEightAndControlCharactersAreDropped) {
  TTextLines lines(TTextLines::Mode::kFixed);
  Feed(lines, "ab\tc\t\td\x01\x7f\xe9");
  EXPECT_EQ(Line(lines, 0), "ab      c               d\x7f");
  lines.AppendChar(0);
  Feed(lines, std::string(130, 'x') + "\tz");
  EXPECT_EQ(Line(lines, 0), std::string(130, 'x') + "  ") << "a tab stops at 132";
  EXPECT_EQ(Line(lines, 1), "z");
}

TEST(TextLines, TheCommentsKeepTheirFirst99LinesAndFillTheLastUntilFull) {
  TTextLines lines(TTextLines::Mode::kFixed);
  for (int i = 0; i < 150; ++i) Feed(lines, "line " + std::to_string(i) + "\n");
  EXPECT_EQ(Line(lines, 0), "line 0");
  EXPECT_EQ(Line(lines, 98), "line 98");
  const std::string last = Line(lines, 99);
  EXPECT_TRUE(last.starts_with("line 99line 100line 101")) << last;
  EXPECT_EQ(last.size(), 132u);
  Feed(lines, "more");
  EXPECT_EQ(Line(lines, 99), last) << "a full last line drops what follows";
  EXPECT_EQ(lines.CurrentLine(), 99);
}

TEST(TextLines, TheLogOverwritesItsOldestLineAndShowsTheLineBeingFilledFirst) {
  TTextLines log(TTextLines::Mode::kCircular);
  log.AppendLine(std::string(200, 'L'));
  EXPECT_EQ(Line(log, 99), std::string(132, 'L'));
  for (int i = 1; i <= 100; ++i) log.AppendLine("entry " + std::to_string(i));
  EXPECT_EQ(Line(log, 0), "") << "the line being filled";
  EXPECT_EQ(Line(log, 1), "entry 2") << "entry 1 was the 101st line's victim";
  EXPECT_EQ(Line(log, 99), "entry 100");
  const std::string text = log.GetText();
  EXPECT_TRUE(text.starts_with("\r\nentry 2\r\n"));
  EXPECT_TRUE(text.ends_with("entry 99\r\nentry 100\r\n"));
}

class TextWindowTest : public ::testing::Test {
 protected:
  THeadlessBackend backend{HeadlessOptions{Size{1000, 800}}};
  TProfile settings;
};

TEST_F(TextWindowTest, PaintsTheLinesInTheFixedFontFromTheScrollPosition) {
  TZentropeTxt comments(backend, TextWindowKind::kComments, kNoWindow);
  for (const char c : std::string("|\n\n|")) comments.AppendChar(c);
  comments.Place(PlacementThousandths{0, 0, 500, 500, 0}, false);
  ASSERT_TRUE(comments.IsShown());
  backend.EventLoop().RunUntilIdle();
  const TSurface& surface = comments.Window()->ScreenSurface();
  const auto ink_in_row = [&](int top) {
    for (int y = top; y < top + comments.LineHeight(); ++y) {
      for (int x = 0; x < comments.CharacterWidth(); ++x) {
        if (surface.ColourAt(x, y) == kTextWindowForeground) return true;
      }
    }
    return false;
  };
  const int height = comments.LineHeight();
  EXPECT_TRUE(ink_in_row(0));
  EXPECT_FALSE(ink_in_row(height));
  EXPECT_TRUE(ink_in_row(2 * height));

  backend.Scroll(comments.Window()->Id(), true, ScrollAction::kLineDown);
  backend.EventLoop().RunUntilIdle();
  EXPECT_EQ(comments.FirstRow(), 1);
  EXPECT_FALSE(ink_in_row(0));
  EXPECT_TRUE(ink_in_row(height));
}

TEST_F(TextWindowTest, SizeSetsTheScrollRangeAndTheLogScrollsToItsEnd) {
  TZentropeTxt log(backend, TextWindowKind::kLog, kNoWindow);
  log.Place(PlacementThousandths{0, 0, 400, 250, 0}, false);
  const TWindow& window = *log.Window();
  const Size client = window.ClientSize();
  EXPECT_EQ(window.HorizontalScroll().range, 132 - client.width / log.CharacterWidth());
  EXPECT_EQ(window.VerticalScroll().range, 100 - client.height / log.LineHeight());
  EXPECT_EQ(window.VerticalScroll().position, window.VerticalScroll().range);
}

TEST_F(TextWindowTest, TogglingStoresThePlacementAndClosingPostsTheShowCommand) {
  TZentropeTxt log(backend, TextWindowKind::kLog, 77);
  settings.Set(IntKey::ShowLog, 0);
  settings.Set(IntKey::XLog, 100);
  settings.Set(IntKey::YLog, 200);
  settings.Set(IntKey::WLog, 500);
  settings.Set(IntKey::HLog, 250);
  EXPECT_TRUE(log.Toggle(settings));
  EXPECT_TRUE(log.IsShown());
  EXPECT_EQ(log.Window()->Placement().normal, (Rect{100, 160, 600, 360}));

  TWindow& window = *log.Window();
  window.SetPlacement(WindowPlacement{Rect{0, 400, 1000, 800}, ShowState::kNormal});
  backend.PostSystemCommand(window.Id(), kScClose);
  backend.EventLoop().DispatchNext();
  const std::optional<Message> posted = backend.EventLoop().PeekMessage();
  ASSERT_TRUE(posted);
  EXPECT_EQ(posted->id, MessageId::kCommand);
  EXPECT_EQ(posted->window, 77u);
  EXPECT_EQ(posted->command, kShowLogCommand);

  EXPECT_FALSE(log.Toggle(settings));
  EXPECT_FALSE(log.IsShown());
  EXPECT_NE(log.Window(), nullptr) << "hidden, not destroyed";
  EXPECT_EQ(settings.Get(IntKey::ShowLog), 0);
  EXPECT_EQ(settings.Get(IntKey::YLog), 500);
  EXPECT_EQ(settings.Get(IntKey::HLog), 500);
}

TEST_F(TextWindowTest, ScreenSaveRequestsAreSwallowedOnlyWhenTheFilterSaysSo) {
  TZentropeTxt comments(backend, TextWindowKind::kComments, kNoWindow);
  bool slideshow = true;
  comments.SetScreenSaveFilter([&] { return slideshow; });
  const WindowId id = comments.EnsureWindow().Id();
  backend.PostSystemCommand(id, kScScreenSave);
  backend.EventLoop().RunUntilIdle();
  EXPECT_EQ(backend.ScreenSaverStarts(), 0);
  slideshow = false;
  backend.PostSystemCommand(id, kScScreenSave + 3);
  backend.EventLoop().RunUntilIdle();
  EXPECT_EQ(backend.ScreenSaverStarts(), 1);
}

TEST_F(TextWindowTest, ConnectedWindowsReceiveCommentsAndLogLinesAndGiveBackTheText) {
  TZentropeTxt comments(backend, TextWindowKind::kComments, kNoWindow);
  TZentropeTxt log(backend, TextWindowKind::kLog, kNoWindow);
  ConnectTextWindows(&comments, &log);
  AddCommentChar('h');
  AddCommentChar('i');
  AddCommentChar('\n');
  LogLine("Saved %s as %s", "a.gif", "b.bmp");
  EXPECT_EQ(GetCommentText(), "hi\r\n");
  EXPECT_TRUE(std::string(log.Lines().DisplayLine(99)).ends_with(" Saved a.gif as b.bmp"));
  AddCommentChar(0);
  EXPECT_EQ(GetCommentText(), "");
  ConnectTextWindows(nullptr, nullptr);
  AddCommentChar('x');
  LogLine("after");
  EXPECT_TRUE(comments.IsEmpty());
  EXPECT_TRUE(std::string(log.Lines().DisplayLine(99)).ends_with("b.bmp"));
}

TEST(LogTee, CopiesEveryLineToTheFileOneLineEachAndKeepsWhatWasThere) {
  TempDir dir;
  const std::string path = dir.File("zentrope.log");
  ASSERT_TRUE(WriteFileText(path, "earlier run\n"));
  TTextLines window_lines(TTextLines::Mode::kCircular);
  struct WindowSink : LogSink {
    TTextLines* lines;
    void AppendLogLine(std::string_view line) override { lines->AppendLine(line); }
  } window;
  window.lines = &window_lines;
  {
    TLogTee tee(path);
    ASSERT_TRUE(tee.FileOpen());
    tee.AppendLogLine("12:00:00 Started Zentrope");
    tee.SetWindow(&window);
    tee.AppendLogLine("12:00:01 Loaded image a\nb.gif");
    EXPECT_EQ(ReadFileText(path),
              "earlier run\n12:00:00 Started Zentrope\n12:00:01 Loaded image a?b.gif\n")
        << "written at once, before the tee closes";
  }
  EXPECT_EQ(window_lines.DisplayLine(99), "12:00:01 Loaded image a\nb.gif")
      << "the window keeps the line as it came";
  EXPECT_FALSE(TLogTee(dir.File("missing/folder/log")).FileOpen());
}
}  // namespace
