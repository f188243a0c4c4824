#include "app/headless_run.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/passwords.h"
#include "platform/virtual_keys.h"
#include "support/temp_dir.h"

namespace {
class RecordingWindow : public WindowHandler {
 public:
  void OnMessage(TWindow&, const Message& message) override { messages.push_back(message); }
  void OnPaint(TWindow&, TDeviceContext& dc, const Rect& rect, bool) override {
    dc.FillRect(rect, MakeRgb(10, 20, 30));
  }
  std::vector<Message> Of(MessageId id) const {
    std::vector<Message> found;
    for (const Message& m : messages) {
      if (m.id == id) found.push_back(m);
    }
    return found;
  }
  std::vector<Message> messages;
};

TEST(HeadlessScript, ParsesEveryEventAndNamesTheLineOfAnError) {
  const ParsedScript script = ParseHeadlessScript(
      "# comment\n\nkey Space\nkey Ctrl+Shift+o\nkey Ctrl++\nkey Num*\nkey F12\r\n"
      "command 110\nclick 10 20 right double\ndrag 1 2 30 40 ctrl\nwait 1500\n"
      "answer OK  some file.gif\n");
  ASSERT_EQ(script.error, "");
  ASSERT_EQ(script.steps.size(), 10u);
  EXPECT_EQ(script.steps[0].line, 3);
  EXPECT_EQ(script.steps[0].virtual_key, kVkSpace);
  EXPECT_EQ(script.steps[0].character, ' ');
  EXPECT_EQ(script.steps[1].virtual_key, 'O');
  EXPECT_EQ(script.steps[1].character, 'O');
  EXPECT_EQ(script.steps[1].modifiers, (Modifiers{true, true, false}));
  EXPECT_EQ(script.steps[2].kind, ScriptStep::Kind::kCharacter);
  EXPECT_EQ(script.steps[2].character, '+');
  EXPECT_TRUE(script.steps[2].modifiers.control);
  EXPECT_EQ(script.steps[3].virtual_key, kVkMultiply);
  EXPECT_EQ(script.steps[4].virtual_key, kVkF12);
  EXPECT_EQ(script.steps[5].command, 110u);
  EXPECT_TRUE(script.steps[6].right && script.steps[6].double_click);
  EXPECT_EQ(script.steps[7].to, (Point{30, 40}));
  EXPECT_TRUE(script.steps[7].modifiers.control);
  EXPECT_EQ(script.steps[8].milliseconds, 1500u);
  EXPECT_EQ(script.steps[9].button, "ok");
  EXPECT_EQ(script.steps[9].text, "some file.gif");

  for (const auto& [text, error] : std::vector<std::pair<const char*, const char*>>{
           {"key Space\n\nkey Hyper\n", "line 3: unknown key 'Hyper'"},
           {"click 1\n", "line 1: click needs 2 coordinates"},
           {"drag 1 2 3 x\n", "line 1: coordinates must be whole numbers"},
           {"wait -5\n", "line 1: wait takes milliseconds"},
           {"answer maybe\n", "line 1: unknown button 'maybe'"},
           {"click 1 2 double double\nfly\n", "line 2: unknown event 'fly'"},
           {"drag 1 2 3 4 double\n", "line 1: unknown word 'double'"}}) {
    const ParsedScript bad = ParseHeadlessScript(text);
    EXPECT_EQ(bad.error, error);
    EXPECT_TRUE(bad.steps.empty());
  }
}

class HeadlessRunTest : public ::testing::Test {
 protected:
  HeadlessRunTest() {
    WindowParams params;
    params.placement.normal = Rect{0, 0, 300, 200};
    params.visible = true;
    window = backend.CreateWindow(params, &handler);
  }
  void Run(const char* text) {
    const ParsedScript script = ParseHeadlessScript(text);
    ASSERT_EQ(script.error, "");
    THeadlessRun(backend, window->Id(), script.steps, &backend.Answers()).RunToEnd();
  }

  THeadlessRunBackend backend{HeadlessRunOptions(true)};
  RecordingWindow handler;
  std::unique_ptr<TWindow> window;
};

TEST_F(HeadlessRunTest, InjectsKeysCommandsAndMouseInputIntoTheMainWindow) {
  Run("key Ctrl+C\ncommand 142\nclick 5 6 shift\ndrag 10 10 50 30 right\nclick 7 8 double\n"
      "wait 250\n");
  const auto keys = handler.Of(MessageId::kKeyDown);
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(keys[0].key, 'C');
  EXPECT_TRUE(keys[0].modifiers.control);
  const auto characters = handler.Of(MessageId::kChar);
  ASSERT_FALSE(characters.empty());
  EXPECT_EQ(characters[0].key, 'c');
  const auto commands = handler.Of(MessageId::kCommand);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].command, 142u);
  const auto left = handler.Of(MessageId::kLButtonDown);
  ASSERT_EQ(left.size(), 2u);
  EXPECT_EQ(left[0].position, (Point{5, 6}));
  EXPECT_TRUE(left[0].modifiers.shift);
  EXPECT_EQ(handler.Of(MessageId::kLButtonDblClk).size(), 1u);
  const auto right_up = handler.Of(MessageId::kRButtonUp);
  ASSERT_EQ(right_up.size(), 1u);
  EXPECT_EQ(right_up[0].position, (Point{50, 30}));
  EXPECT_EQ(backend.Clock().Now(), 250u);
}

TEST_F(HeadlessRunTest, AnswersGoToWhicheverDialogComesNext) {
  TempDir dir;
  ASSERT_TRUE(WriteFileText(dir.File("a.gif"), "x"));
  ASSERT_TRUE(WriteFileText(dir.File("b c.gif"), "x"));
  Run(("answer yes\nanswer ok " + dir.File("a.gif") + " \"" + dir.File("b c.gif") +
       "\"\nanswer ok secret\nanswer 2\n")
          .c_str());
  EXPECT_EQ(backend.Answers().Pending(), 4u);

  DialogService& dialogs = backend.Dialogs();
  EXPECT_EQ(MessageBox(dialogs, kNoWindow, "Replace?", "Q", MessageBoxIcon::kQuestion,
                       MessageBoxButtons::kYesNo),
            DialogAnswer::kYes);
  OpenFileRequest open;
  open.multiple = true;
  const OpenFileResult files = dialogs.OpenFile(open);
  ASSERT_TRUE(files.ok);
  EXPECT_EQ(files.directory, dir.path());
  EXPECT_EQ(files.names, (std::vector<std::string>{"a.gif", "b c.gif"}));

  const TPasswordStore store(dir.File("control.ini"));
  ASSERT_TRUE(store.Set("Secret"));
  EXPECT_TRUE(AskPassword(dialogs, kNoWindow, store)) << "the text goes into the first edit";
  EXPECT_FALSE(AskPassword(dialogs, kNoWindow, store)) << "button 2 cancels";
  EXPECT_EQ(backend.Answers().Pending(), 0u);
}

TEST_F(HeadlessRunTest, TheScreenIsSavedAndAScriptErrorRunsNothing) {
  TempDir dir;
  ASSERT_TRUE(WriteFileText(dir.File("bad.txt"), "command 1\nkey Nope\n"));
  HeadlessRunRequest request{dir.File("bad.txt"), dir.File("screen.png")};
  std::string error;
  EXPECT_FALSE(RunHeadlessScript(backend, window->Id(), request, &error));
  EXPECT_EQ(error, dir.File("bad.txt") + ": line 2: unknown key 'Nope'");
  EXPECT_TRUE(handler.Of(MessageId::kCommand).empty());

  ASSERT_TRUE(WriteFileText(dir.File("good.txt"), "command 7\n"));
  request.script_file = dir.File("good.txt");
  ASSERT_TRUE(RunHeadlessScript(backend, window->Id(), request, &error)) << error;
  EXPECT_EQ(handler.Of(MessageId::kCommand).size(), 1u);
  const std::vector<unsigned char> png = ReadFileBytes(dir.File("screen.png"));
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(png[1], 'P');

  request.screen_file = dir.File("missing/folder/screen.png");
  EXPECT_FALSE(RunHeadlessScript(backend, window->Id(), request, &error));
}
}  // namespace
