#include <gtest/gtest.h>

#include "platform/custom_colours.h"
#include "platform/file_filter.h"
#include "platform/headless/headless_dialogs.h"
#include "platform/text_prompt.h"
#include "support/temp_dir.h"

namespace {
constexpr int kPasswordEdit = 1572;
constexpr int kOptionsButton = 1542;

ControlInput TextInput(int id, std::string text) {
  ControlInput input;
  input.id = id;
  input.text = std::move(text);
  return input;
}

// A password dialog in the shape of the program's: OK refuses a wrong
// password with a message box and stays open.
DialogTemplate PasswordDialog(int* checks) {
  DialogTemplate dialog;
  dialog.caption = "Enter Password";
  DialogControl edit;
  edit.id = kPasswordEdit;
  edit.kind = ControlKind::kEdit;
  edit.limit = 20;
  edit.masked = true;
  DialogControl label = DialogControl::Make(1600, ControlKind::kStatic, "Password:");
  DialogControl options = DialogControl::Make(kOptionsButton, ControlKind::kButton, "&Options");
  options.enabled = false;
  dialog.controls = {label, edit, options};
  dialog.handlers[kIdOk] = [checks](TDialogState& state) {
    ++*checks;
    if (state.Text(kPasswordEdit) == "SECRET") return ButtonResult::Close(kIdOk);
    MessageBox(state.Dialogs(), kNoWindow, "Incorrect password, please try again.", "Error",
               MessageBoxIcon::kExclamation);
    return ButtonResult::StayOpen();
  };
  return dialog;
}

class DialogTest : public ::testing::Test {
 protected:
  DialogTest() : dialogs_(display_) { display_.SetScreenSize(Size{640, 480}); }
  ~DialogTest() override { ResetCustomColours(); }
  TDisplay display_;
  THeadlessDialogs dialogs_;
};
}  // namespace

TEST_F(DialogTest, HandlerThatRefusesOkKeepsTheDialogOpenAndShowsItsMessageBox) {
  int checks = 0;
  const DialogTemplate dialog = PasswordDialog(&checks);
  dialogs_.Script(ScriptedAnswer::Press(kIdOk, {TextInput(kPasswordEdit, "wrong")}));
  dialogs_.Script(ScriptedAnswer::Box(DialogAnswer::kOk));
  dialogs_.Script(ScriptedAnswer::Press(kOptionsButton));  // disabled: nothing happens
  dialogs_.Script(ScriptedAnswer::Press(kIdOk, {TextInput(kPasswordEdit, "SECRET")}));
  EXPECT_EQ(dialogs_.RunDialog(dialog, kNoWindow), kIdOk);
  EXPECT_EQ(checks, 2);
  ASSERT_EQ(dialogs_.Shown().size(), 2u);
  EXPECT_EQ(dialogs_.Shown()[0].kind, DialogKind::kCustom);
  EXPECT_EQ(dialogs_.Shown()[0].result, kIdOk);
  EXPECT_EQ(dialogs_.Shown()[1].texts.front(), "Incorrect password, please try again.");
  EXPECT_EQ(dialogs_.Shown()[1].caption, "Error");
  EXPECT_EQ(dialogs_.ScriptLeft(), 0u);
}

TEST_F(DialogTest, RefusedDialogWithNoScriptLeftEndsCancelled) {
  int checks = 0;
  const DialogTemplate dialog = PasswordDialog(&checks);
  dialogs_.Script(ScriptedAnswer::Press(kIdOk, {TextInput(kPasswordEdit, "nope")}));
  EXPECT_EQ(dialogs_.RunDialog(dialog, kNoWindow), kIdCancel);
  EXPECT_EQ(checks, 1);
}

TEST_F(DialogTest, WithoutAScriptEveryDialogIsCancelledAndRecorded) {
  EXPECT_EQ(MessageBox(dialogs_, 1, "Replace?", "Hint", MessageBoxIcon::kQuestion,
                       MessageBoxButtons::kYesNo),
            DialogAnswer::kNo);
  EXPECT_EQ(MessageBox(dialogs_, 1, "Go on?", "Hint", MessageBoxIcon::kNone,
                       MessageBoxButtons::kOkCancel),
            DialogAnswer::kCancel);
  EXPECT_EQ(MessageBox(dialogs_, 1, "Unable to open clipboard.", "Error"), DialogAnswer::kOk);
  EXPECT_FALSE(dialogs_.OpenFile(OpenFileRequest{}).ok);
  EXPECT_FALSE(dialogs_.SaveFile(SaveFileRequest{}).ok);
  EXPECT_FALSE(dialogs_.ChooseColour(ColourRequest{}));
  EXPECT_FALSE(PromptText(dialogs_, 1, "File Spec:", "*.gif", 260));
  ASSERT_EQ(dialogs_.Shown().size(), 7u);
  for (const DialogRecord& record : dialogs_.Shown()) EXPECT_FALSE(record.scripted);
  EXPECT_EQ(dialogs_.Shown()[6].texts.front(), "File Spec:");
}

TEST_F(DialogTest, AnswerForAnotherDialogIsNotTaken) {
  ScriptedAnswer answer = ScriptedAnswer::Box(DialogAnswer::kYes);
  answer.caption = "Change Password";
  dialogs_.Script(answer);
  EXPECT_EQ(MessageBox(dialogs_, 1, "x", "Error", MessageBoxIcon::kNone, MessageBoxButtons::kYesNo),
            DialogAnswer::kNo);
  EXPECT_FALSE(dialogs_.OpenFile(OpenFileRequest{}).ok);
  EXPECT_EQ(dialogs_.ScriptLeft(), 1u);
}

TEST_F(DialogTest, TextPromptKeepsOneCharacterLessThanItsLimit) {
  dialogs_.Script(ScriptedAnswer::Text("123456789"));
  EXPECT_EQ(PromptText(dialogs_, 1, "Number of seconds to delay between images:", "5", 7),
            "123456");
  // The initial value is what OK returns when nothing is typed.
  dialogs_.Script(ScriptedAnswer::Press(kIdOk));
  EXPECT_EQ(PromptText(dialogs_, 1, "File Spec:", "c:\\...", 260), "c:\\...");
  EXPECT_EQ(dialogs_.Shown()[0].caption, "Input");
}

TEST_F(DialogTest, OpenDialogRefusesMissingFilesAndReportsTheChosenType) {
  TempDir dir;
  WriteFileText(dir.File("a.gif"), "x");
  WriteFileText(dir.File("b.GIF"), "x");
  OpenFileRequest request;
  request.caption = "Open";
  request.filters = "GIF Files|*.gif|Image Files|*.gif;*.bmp|All Files|*.*|";
  request.filter_index = 3;
  request.multiple = true;
  request.layout = Size{360, 276};  // larger than 640 x 480 in pixels
  dialogs_.Script(ScriptedAnswer::Open(dir.path() + "/", {"a.gif", "missing.gif"}, 1));
  dialogs_.Script(ScriptedAnswer::Open(dir.path(), {"a.gif", "b.GIF"}, 9));
  const OpenFileResult result = dialogs_.OpenFile(request);
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(result.directory, dir.path());
  EXPECT_EQ(result.names, (std::vector<std::string>{"a.gif", "b.GIF"}));
  EXPECT_EQ(result.filter_index, 3);  // clamped to the list
  EXPECT_TRUE(result.did_not_fit);
  EXPECT_TRUE(DialogDidNotFit());
  SetDialogDidNotFit(false);
  EXPECT_EQ(dialogs_.Shown()[1].kind, DialogKind::kMessageBox);  // the refusal
}

TEST_F(DialogTest, SaveDialogFollowsTheTypeAndAsksBeforeReplacing) {
  TempDir dir;
  WriteFileText(dir.File("photo.jpg"), "x");
  SaveFileRequest request;
  request.caption = "Save As";
  request.filters = "GIF File (*.gif)|*.gif|JPEG File (*.jpg)|*.jpg|";
  request.filter_index = 1;
  request.initial_directory = dir.path();
  request.type_extensions = {".gif", ".jpg"};
  dialogs_.Script(ScriptedAnswer::Save("photo.gif", 2));
  dialogs_.Script(ScriptedAnswer::Box(DialogAnswer::kNo));
  dialogs_.Script(ScriptedAnswer::Save("photo.gif", 2));
  dialogs_.Script(ScriptedAnswer::Box(DialogAnswer::kYes));
  const SaveFileResult result = dialogs_.SaveFile(request);
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(result.path, dir.File("photo.jpg"));
  EXPECT_EQ(result.filter_index, 2);
  EXPECT_FALSE(result.did_not_fit);
  EXPECT_FALSE(DialogDidNotFit());
  EXPECT_EQ(dialogs_.Shown().size(), 3u);  // the dialog and two replace prompts
  dialogs_.Script(ScriptedAnswer::Save("new.tga"));
  EXPECT_EQ(dialogs_.SaveFile(request).path, dir.File("new.tga"));  // same type: name kept
}

TEST_F(DialogTest, CustomColoursStartAsAGreyRampAndKeepChanges) {
  EXPECT_EQ(CustomColours()[15], MakeRgb(240, 240, 240));
  ScriptedAnswer answer = ScriptedAnswer::Cancel(DialogKind::kColour);
  std::array<ColorRef, kCustomColourCount> changed = CustomColours();
  changed[0] = MakeRgb(1, 2, 3);
  answer.custom_colours = changed;
  dialogs_.Script(answer);
  dialogs_.Script(ScriptedAnswer::Colour(MakeRgb(7, 8, 9)));
  EXPECT_FALSE(dialogs_.ChooseColour(ColourRequest{1, "Background Color", 0, true}));
  EXPECT_EQ(CustomColours()[0], MakeRgb(1, 2, 3));
  EXPECT_EQ(dialogs_.ChooseColour(ColourRequest{1, "Foreground Color", 0, true}), MakeRgb(7, 8, 9));
}

TEST(DialogState, LimitsSelectionsAndDisabledControls) {
  TDisplay display;
  THeadlessDialogs dialogs(display);
  DialogTemplate dialog;
  DialogControl list = DialogControl::Make(1547, ControlKind::kDropDownList, "File &Types:");
  list.items = {"GIF Files", "All Files"};
  list.selection = 5;  // out of range: none
  DialogControl edit = DialogControl::Make(1549, ControlKind::kEdit, "Frames &Across:");
  edit.text = "1234567890123";
  edit.limit = 9;
  edit.enabled = false;
  dialog.controls = {list, edit};
  TDialogState state(dialog, dialogs);
  EXPECT_EQ(state.Selection(1547), -1);
  EXPECT_FALSE(state.SetSelection(1547, 2));
  EXPECT_TRUE(state.SetSelection(1547, 1));
  EXPECT_EQ(state.Text(1549), "123456789");
  EXPECT_FALSE(state.Type(1549, "4"));
  state.Enable(1549, true);
  EXPECT_TRUE(state.Type(1549, "4"));
  EXPECT_EQ(state.Text(1549), "4");
  EXPECT_FALSE(state.PressButton(777));  // no such button
  EXPECT_EQ(state.PressButton(kIdCancel), kIdCancel);
}

TEST(DialogPlacement, CentredOverTheParentAndKeptOnTheScreen) {
  SetDialogDidNotFit(false);
  const Size screen{640, 480};
  EXPECT_EQ(PlaceDialog(Size{100, 50}, Rect{100, 100, 300, 200}, screen),
            (Rect{150, 125, 250, 175}));
  EXPECT_EQ(PlaceDialog(Size{100, 50}, Rect{}, screen), (Rect{270, 215, 370, 265}));
  // Over a parent at the right edge the dialog is pushed back inside.
  EXPECT_EQ(PlaceDialog(Size{100, 50}, Rect{600, -40, 700, 0}, screen), (Rect{540, 0, 640, 50}));
  EXPECT_FALSE(DialogDidNotFit());
  // Too wide: centred on the screen across, placed normally down, and recorded.
  EXPECT_EQ(PlaceDialog(Size{720, 100}, Rect{0, 0, 200, 200}, screen), (Rect{-40, 50, 680, 150}));
  EXPECT_TRUE(DialogDidNotFit());
  SetDialogDidNotFit(false);
}

TEST(FileFilters, ParseTheProgramsListsAndMatchWithoutCase) {
  const auto filters = ParseFilterList(
      "Bitmap Files|*.bmp;*.dib;*.rle|Zentrope Files|*.gif;*.01*.zip|All Files|*.*|");
  ASSERT_EQ(filters.size(), 3u);
  EXPECT_EQ(filters[0].patterns, (std::vector<std::string>{"*.bmp", "*.dib", "*.rle"}));
  EXPECT_TRUE(MatchesFilter("PICTURE.DIB", filters[0]));
  EXPECT_FALSE(MatchesFilter("picture.dibx", filters[0]));
  EXPECT_TRUE(MatchesFilter("archive.01.zip", filters[1]));
  EXPECT_TRUE(MatchesFilter("README", filters[2]));
  EXPECT_TRUE(MatchesPattern("a.uu1", "*.uu?"));
  EXPECT_FALSE(MatchesPattern("a.uu", "*.uu?"));
  EXPECT_TRUE(ParseFilterList("").empty());
  EXPECT_EQ(ParseFilterList("Only description").size(), 0u);
}
