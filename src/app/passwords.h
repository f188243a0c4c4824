// Passwords of the start-up and of the saver: one password kept in
// control.ini [ScreenSaver] Password in the system folder, and the two
// dialogs that set it and ask for it. The stored text is derived from the
// upper-cased password by a slow one-way hash, so the file never holds
// anything from which the password can be read back; letter case does not
// count, and a check compares in constant time.
#pragma once

#include <string>
#include <string_view>

#include "platform/dialog_template.h"
#include "platform/dialogs.h"

inline constexpr int kPasswordMaxLength = 20;
inline constexpr char kPasswordSection[] = "ScreenSaver";
inline constexpr char kPasswordKey[] = "Password";

// Dialog resources and controls.
inline constexpr int kSetPasswordResource = 1108;
inline constexpr int kGetPasswordResource = 1109;
inline constexpr int kOldPasswordLabelId = 1571;
inline constexpr int kOldPasswordId = 1572;  // also the one field of the enter-password dialog
inline constexpr int kNewPasswordId = 1573;
inline constexpr int kRetypePasswordId = 1574;

inline constexpr char kSetPasswordCaption[] = "Change Password";
inline constexpr char kGetPasswordCaption[] = "Enter Password";
inline constexpr char kIncorrectPasswordText[] = "Incorrect password, please try again.";
inline constexpr char kPasswordsDifferText[] = "These two passwords are not identical.";
inline constexpr char kPasswordNotStoredText[] = "Unable to store the password.";

// The store: a settings file (control.ini in the system folder unless given).
class TPasswordStore {
 public:
  TPasswordStore();
  explicit TPasswordStore(std::string file) : file_(std::move(file)) {}

  const std::string& File() const { return file_; }
  // The stored text (at most 20 characters); empty when no password is set.
  std::string Stored() const;
  bool HasPassword() const { return !Stored().empty(); }
  // Stores the password's derived text; an empty password removes it. The
  // file is readable by its owner only. False when it cannot be written.
  bool Set(std::string_view password) const;
  // Whether the typed text is the stored password; true when none is set.
  bool Matches(std::string_view typed) const;

 private:
  std::string file_;
};

// The text stored for a password: 20 settings-safe characters from
// PBKDF2-HMAC-SHA256 over the upper-cased password (its first 20
// characters), with a fixed salt that includes the length. Empty for an
// empty password.
std::string DerivePasswordText(std::string_view password);

// Equal texts, compared without stopping at the first difference.
bool ConstantTimeEqual(std::string_view a, std::string_view b);

// The change-password dialog (resource 1108): the old password is asked for
// only while one is stored, the new one must be typed twice.
class TSetPasswordDlg {
 public:
  explicit TSetPasswordDlg(TPasswordStore store = TPasswordStore());
  // The handlers refer to the store inside.
  TSetPasswordDlg(const TSetPasswordDlg&) = delete;
  TSetPasswordDlg& operator=(const TSetPasswordDlg&) = delete;
  const DialogTemplate& Template() const { return template_; }
  // kIdOk when a new password (or none) was stored, kIdCancel otherwise.
  int Execute(DialogService& dialogs, WindowId owner) const;

 private:
  TPasswordStore store_;
  DialogTemplate template_;
};

// The enter-password dialog (resource 1109): stays open until the stored
// password is typed or it is cancelled; anything passes when none is stored.
class TGetPasswordDlg {
 public:
  explicit TGetPasswordDlg(TPasswordStore store = TPasswordStore());
  // The handlers refer to the store inside.
  TGetPasswordDlg(const TGetPasswordDlg&) = delete;
  TGetPasswordDlg& operator=(const TGetPasswordDlg&) = delete;
  const DialogTemplate& Template() const { return template_; }
  int Execute(DialogService& dialogs, WindowId owner) const;

 private:
  TPasswordStore store_;
  DialogTemplate template_;
};

// The start-up password (no owner window) and the slideshow's exit password:
// true only when the enter-password dialog ends with OK.
bool AskPassword(DialogService& dialogs, WindowId owner = kNoWindow,
                 const TPasswordStore& store = TPasswordStore());
// The Set password command.
bool ChangePassword(DialogService& dialogs, WindowId owner,
                    const TPasswordStore& store = TPasswordStore());
