#include "app/passwords.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "platform/headless/headless_dialogs.h"
#include "platform/private_profile.h"
#include "support/temp_dir.h"

namespace {
ControlInput Typed(int id, std::string text) {
  ControlInput input;
  input.id = id;
  input.text = std::move(text);
  return input;
}

class PasswordTest : public ::testing::Test {
 protected:
  std::string StoredValue() const {
    return GetPrivateProfileString("ScreenSaver", "Password", "", store.File());
  }

  TempDir dir;
  TPasswordStore store{dir.File("windir/control.ini")};
  TDisplay display;
  THeadlessDialogs dialogs{display};
};

TEST_F(PasswordTest, TheStoredTextIsOneWaySettingsSafeAndIgnoresLetterCase) {
  ASSERT_TRUE(store.Set("Secret"));
  const std::string stored = StoredValue();
  EXPECT_EQ(stored.size(), 20u);
  EXPECT_EQ(stored.find("SECRET"), std::string::npos);
  EXPECT_EQ(stored.find("Secret"), std::string::npos);
  EXPECT_EQ(
      stored.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_"),
      std::string::npos);
  EXPECT_TRUE(store.Matches("secret"));
  EXPECT_TRUE(store.Matches("SECRET"));
  EXPECT_FALSE(store.Matches("secret!"));
  EXPECT_FALSE(store.Matches(""));
  EXPECT_NE(DerivePasswordText("a"), DerivePasswordText("b"));
  EXPECT_EQ(DerivePasswordText(std::string(25, 'x')), DerivePasswordText(std::string(20, 'X')))
      << "only the first 20 characters count";

  struct stat info {};
  ASSERT_EQ(::stat(store.File().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  ASSERT_TRUE(store.Set(""));
  EXPECT_FALSE(store.HasPassword());
  EXPECT_TRUE(store.Matches("anything"));
}

TEST_F(PasswordTest, AnExistingControlFileKeepsItsOtherLinesAndBecomesPrivate) {
  ASSERT_TRUE(WriteFileText(dir.File("control.ini"), "[Colors]\nBackground=0 0 0\n"));
  ASSERT_EQ(::chmod(dir.File("control.ini").c_str(), 0644), 0);
  const TPasswordStore existing(dir.File("control.ini"));
  ASSERT_TRUE(existing.Set("pw"));
  const std::string text = ReadFileText(dir.File("control.ini"));
  EXPECT_NE(text.find("Background=0 0 0"), std::string::npos);
  struct stat info {};
  ASSERT_EQ(::stat(dir.File("control.ini").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(ConstantTimeEqual, ComparesWholeTextsOfAnyLength) {
  EXPECT_TRUE(ConstantTimeEqual("abc", "abc"));
  EXPECT_FALSE(ConstantTimeEqual("abc", "abd"));
  EXPECT_FALSE(ConstantTimeEqual("abc", std::string_view("abc\0", 4)));
  EXPECT_FALSE(ConstantTimeEqual("", "a"));
  EXPECT_TRUE(ConstantTimeEqual("", ""));
}

TEST_F(PasswordTest, TheEnterDialogRefusesAWrongTextUntilTheRightOneOrCancel) {
  ASSERT_TRUE(store.Set("open sesame"));
  dialogs.Script(ScriptedAnswer::Press(kIdOk, {Typed(kOldPasswordId, "wrong")}));
  dialogs.Script(ScriptedAnswer::Press(kIdOk, {Typed(kOldPasswordId, "OPEN SESAME")}));
  EXPECT_TRUE(AskPassword(dialogs, kNoWindow, store));
  ASSERT_EQ(dialogs.Shown().size(), 1u);
  EXPECT_EQ(dialogs.Shown()[0].caption, "Enter Password");
  EXPECT_EQ(dialogs.Shown()[0].final_caption, "Incorrect password, please try again.");

  dialogs.Script(ScriptedAnswer::Press(kIdOk, {Typed(kOldPasswordId, "wrong")}));
  EXPECT_FALSE(AskPassword(dialogs, kNoWindow, store)) << "an unanswered dialog is cancelled";

  TGetPasswordDlg dialog(store);
  const DialogControl* field = nullptr;
  for (const DialogControl& control : dialog.Template().controls) {
    if (control.id == kOldPasswordId) field = &control;
  }
  ASSERT_NE(field, nullptr);
  EXPECT_TRUE(field->masked);
  EXPECT_EQ(field->limit, 20);
}

TEST_F(PasswordTest, WithNoPasswordTheEnterDialogAcceptsAnEmptyField) {
  dialogs.Script(ScriptedAnswer::Press(kIdOk));
  EXPECT_TRUE(AskPassword(dialogs, kNoWindow, store));
}

TEST_F(PasswordTest, TheChangeDialogChecksTheOldPasswordAndTheRetypedOne) {
  // No password yet: the old-password field stays disabled and is not asked.
  dialogs.Script(ScriptedAnswer::Press(
      kIdOk, {Typed(kNewPasswordId, "first"), Typed(kRetypePasswordId, "FIRST")}));
  EXPECT_TRUE(ChangePassword(dialogs, kNoWindow, store));
  EXPECT_TRUE(store.Matches("First"));

  dialogs.ClearRecord();
  dialogs.Script(
      ScriptedAnswer::Press(kIdOk, {Typed(kOldPasswordId, "nope"), Typed(kNewPasswordId, "second"),
                                    Typed(kRetypePasswordId, "second")}));
  dialogs.Script(ScriptedAnswer::Press(
      kIdOk, {Typed(kOldPasswordId, "first"), Typed(kRetypePasswordId, "sekond")}));
  dialogs.Script(ScriptedAnswer::Cancel(DialogKind::kCustom));
  EXPECT_FALSE(ChangePassword(dialogs, kNoWindow, store));
  EXPECT_TRUE(store.Matches("first")) << "nothing changed";
  ASSERT_EQ(dialogs.Shown().size(), 3u);
  EXPECT_EQ(dialogs.Shown()[1].texts, std::vector<std::string>{kIncorrectPasswordText});
  EXPECT_EQ(dialogs.Shown()[1].icon, MessageBoxIcon::kExclamation);
  EXPECT_EQ(dialogs.Shown()[2].texts, std::vector<std::string>{kPasswordsDifferText});

  // An empty new password removes the password.
  dialogs.Script(ScriptedAnswer::Press(kIdOk, {Typed(kOldPasswordId, "FIRST")}));
  EXPECT_TRUE(ChangePassword(dialogs, kNoWindow, store));
  EXPECT_FALSE(store.HasPassword());
  EXPECT_EQ(StoredValue(), "");
}

TEST_F(PasswordTest, AStoreThatCannotBeWrittenKeepsTheDialogOpen) {
  ASSERT_TRUE(WriteFileText(dir.File("blocker"), "a file, not a folder"));
  const TPasswordStore unwritable(dir.File("blocker/control.ini"));
  dialogs.Script(
      ScriptedAnswer::Press(kIdOk, {Typed(kNewPasswordId, "pw"), Typed(kRetypePasswordId, "pw")}));
  EXPECT_FALSE(ChangePassword(dialogs, kNoWindow, unwritable));
  ASSERT_EQ(dialogs.Shown().size(), 2u);
  EXPECT_EQ(dialogs.Shown()[1].texts, std::vector<std::string>{kPasswordNotStoredText});
}
}  // namespace
