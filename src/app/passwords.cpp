#include "app/passwords.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cctype>

#include "platform/path.h"
#include "platform/private_profile.h"
#include "platform/system_folder.h"

namespace {
constexpr char kStoreFileName[] = "control.ini";
// Slow enough that guessing from a copied control.ini costs real time, quick
// enough that a dialog answers at once.
constexpr int kIterations = 150000;
constexpr char kSaltPrefix[] = "Zentrope ScreenSaver Password ";
// 64 characters that can stand in a settings value: no blank, quote, '=',
// '[', ']', ';' or control character.
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
constexpr int kStaticId = -1;

std::string Normalized(std::string_view password) {
  std::string text(password.substr(0, kPasswordMaxLength));
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// Owner-only before any password is written, so the derived text is never
// readable by others, not even for a moment; the rewrite keeps the mode.
bool RestrictToOwner(const std::string& file) {
  const PathParts parts = SplitPath(file);
  if (!parts.directory.empty() && !EnsureDirectory(parts.directory)) return false;
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  const bool restricted = ::fchmod(fd, 0600) == 0;
  return ::close(fd) == 0 && restricted;
}

DialogControl Static(std::string text, Rect layout, bool enabled = true, int id = kStaticId) {
  DialogControl control = DialogControl::Make(id, ControlKind::kStatic, std::move(text));
  control.layout = layout;
  control.enabled = enabled;
  return control;
}

DialogControl MaskedEdit(int id, Rect layout, bool enabled = true) {
  DialogControl control = DialogControl::Make(id, ControlKind::kEdit);
  control.limit = kPasswordMaxLength;
  control.masked = true;
  control.layout = layout;
  control.enabled = enabled;
  return control;
}

DialogControl Button(int id, std::string text, Rect layout) {
  DialogControl control = DialogControl::Make(id, ControlKind::kButton, std::move(text));
  control.layout = layout;
  control.default_button = id == kIdOk;
  return control;
}

ButtonResult Refuse(TDialogState& state, const char* text) {
  MessageBox(state.Dialogs(), kNoWindow, text, "Error", MessageBoxIcon::kExclamation);
  return ButtonResult::StayOpen();
}
}  // namespace

std::string DerivePasswordText(std::string_view password) {
  const std::string text = Normalized(password);
  if (text.empty()) return {};
  const std::string salt = kSaltPrefix + std::to_string(text.size());
  // 15 bytes give the 20 six-bit characters of the stored value.
  std::array<unsigned char, kPasswordMaxLength * 6 / 8> key{};
  if (PKCS5_PBKDF2_HMAC(text.data(), static_cast<int>(text.size()),
                        reinterpret_cast<const unsigned char*>(salt.data()),
                        static_cast<int>(salt.size()), kIterations, EVP_sha256(),
                        static_cast<int>(key.size()), key.data()) != 1) {
    return {};
  }
  std::string stored;
  for (std::size_t i = 0; i < key.size(); i += 3) {
    const unsigned bits = (key[i] << 16) | (key[i + 1] << 8) | key[i + 2];
    for (int shift = 18; shift >= 0; shift -= 6) stored += kAlphabet[(bits >> shift) & 63];
  }
  return stored;
}

bool ConstantTimeEqual(std::string_view a, std::string_view b) {
  unsigned difference = a.size() == b.size() ? 0 : 1;
  const std::size_t length = std::max(a.size(), b.size());
  for (std::size_t i = 0; i < length; ++i) {
    const unsigned char x = i < a.size() ? static_cast<unsigned char>(a[i]) : 0;
    const unsigned char y = i < b.size() ? static_cast<unsigned char>(b[i]) : 0;
    difference |= static_cast<unsigned>(x ^ y);
  }
  return difference == 0;
}

TPasswordStore::TPasswordStore() : file_(WindowsDirectory() + "/" + kStoreFileName) {}

std::string TPasswordStore::Stored() const {
  std::string stored = GetPrivateProfileString(kPasswordSection, kPasswordKey, "", file_);
  if (stored.size() > static_cast<std::size_t>(kPasswordMaxLength)) {
    stored.resize(kPasswordMaxLength);
  }
  return stored;
}

bool TPasswordStore::Set(std::string_view password) const {
  const std::string stored = DerivePasswordText(password);
  if (!Normalized(password).empty() && stored.empty()) return false;
  if (!RestrictToOwner(file_)) return false;
  return WritePrivateProfileString(kPasswordSection, kPasswordKey, stored.c_str(), file_);
}

bool TPasswordStore::Matches(std::string_view typed) const {
  const std::string stored = Stored();
  if (stored.empty()) return true;
  const std::string derived = DerivePasswordText(typed);
  return !derived.empty() && ConstantTimeEqual(derived, stored);
}

TSetPasswordDlg::TSetPasswordDlg(TPasswordStore store) : store_(std::move(store)) {
  template_.resource = kSetPasswordResource;
  template_.caption = kSetPasswordCaption;
  template_.size = Size{160, 92};
  template_.controls = {
      Static("Ol&d Password:", Rect{8, 10, 80, 20}, false, kOldPasswordLabelId),
      MaskedEdit(kOldPasswordId, Rect{84, 8, 152, 20}, false),
      Static("&New Password:", Rect{8, 28, 80, 38}),
      MaskedEdit(kNewPasswordId, Rect{84, 26, 152, 38}),
      Static("&Retype New Password:", Rect{8, 46, 80, 56}),
      MaskedEdit(kRetypePasswordId, Rect{84, 44, 152, 56}),
      Button(kIdOk, "OK", Rect{28, 68, 72, 82}),
      Button(kIdCancel, "Cancel", Rect{88, 68, 132, 82}),
  };
  const TPasswordStore& owned = store_;
  template_.on_init = [&owned](TDialogState& state) {
    const bool has_password = owned.HasPassword();
    state.Enable(kOldPasswordLabelId, has_password);
    state.Enable(kOldPasswordId, has_password);
    for (const int id : {kOldPasswordId, kNewPasswordId, kRetypePasswordId}) state.SetText(id, "");
  };
  template_.handlers[kIdOk] = [&owned](TDialogState& state) {
    if (!owned.Matches(state.Text(kOldPasswordId))) return Refuse(state, kIncorrectPasswordText);
    const std::string typed = state.Text(kNewPasswordId);
    if (!ConstantTimeEqual(Normalized(typed), Normalized(state.Text(kRetypePasswordId)))) {
      return Refuse(state, kPasswordsDifferText);
    }
    if (!owned.Set(typed)) return Refuse(state, kPasswordNotStoredText);
    return ButtonResult::Close(kIdOk);
  };
}

int TSetPasswordDlg::Execute(DialogService& dialogs, WindowId owner) const {
  return dialogs.RunDialog(template_, owner);
}

TGetPasswordDlg::TGetPasswordDlg(TPasswordStore store) : store_(std::move(store)) {
  template_.resource = kGetPasswordResource;
  template_.caption = kGetPasswordCaption;
  template_.size = Size{160, 64};
  template_.controls = {
      Static("Please type your password.", Rect{8, 8, 152, 18}),
      Static("Password:", Rect{8, 26, 52, 36}),
      MaskedEdit(kOldPasswordId, Rect{56, 24, 152, 36}),
      Button(kIdOk, "OK", Rect{28, 44, 72, 58}),
      Button(kIdCancel, "Cancel", Rect{88, 44, 132, 58}),
  };
  const TPasswordStore& owned = store_;
  template_.on_init = [](TDialogState& state) { state.SetText(kOldPasswordId, ""); };
  template_.handlers[kIdOk] = [&owned](TDialogState& state) {
    if (owned.Matches(state.Text(kOldPasswordId))) return ButtonResult::Close(kIdOk);
    state.SetCaption(kIncorrectPasswordText);
    state.Flash();
    return ButtonResult::StayOpen();
  };
}

int TGetPasswordDlg::Execute(DialogService& dialogs, WindowId owner) const {
  return dialogs.RunDialog(template_, owner);
}

bool AskPassword(DialogService& dialogs, WindowId owner, const TPasswordStore& store) {
  return TGetPasswordDlg(store).Execute(dialogs, owner) == kIdOk;
}

bool ChangePassword(DialogService& dialogs, WindowId owner, const TPasswordStore& store) {
  return TSetPasswordDlg(store).Execute(dialogs, owner) == kIdOk;
}
