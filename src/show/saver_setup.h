// TZentsaverDlg: the screen saver's setup dialog as data. It edits one
// settings record in place: every control is filled from the record when the
// dialog opens and after Defaults, and read back into it when the dialog
// closes either way. Only the caller decides whether the record is saved,
// which it does after OK alone.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog_template.h"
#include "platform/dialogs.h"

class HelpViewer;
class TProfile;

inline constexpr int kSaverSetupResource = 1107;
inline constexpr char kSaverSetupCaption[] = "Zentrope Screen Saver Setup";
inline constexpr char kSaverBackgroundCaption[] = "Background Color";
inline constexpr char kSaverForegroundCaption[] = "Foreground Color";

// Buttons beyond OK and Cancel.
inline constexpr int kSaverHelpId = 1540;
inline constexpr int kSaverPasswordId = 1542;
inline constexpr int kSaverForegroundId = 1543;
inline constexpr int kSaverBackgroundId = 1544;
inline constexpr int kSaverDefaultsId = 1545;
// Fields.
inline constexpr int kSaverFileSpecId = 1546;
inline constexpr int kSaverFileTypesId = 1547;
inline constexpr int kSaverEffectId = 1548;
inline constexpr int kSaverAcrossId = 1549;
inline constexpr int kSaverDownId = 1550;
inline constexpr int kSaverImageDelayId = 1551;
inline constexpr int kSaverSoundDelayId = 1552;
// Check boxes run from 1553 ("Random Frames") to 1570 ("Auto Resume").
inline constexpr int kSaverFirstCheckId = 1553;
inline constexpr int kSaverLastCheckId = 1570;

// The longest file specification read back, and the most characters a
// number field gives its value.
inline constexpr int kSaverFileSpecChars = 260;
inline constexpr int kSaverNumberChars = 9;

// The part before the first "|" of each filter of a "Desc|*.a|..." list.
std::vector<std::string> FilterDescriptions(std::string_view filters);

// A number field's text as the dialog stores it: its first nine characters
// read as a decimal long integer (leading blanks and a sign allowed,
// reading stops at the first other character; nothing readable gives 0).
int NumberFieldValue(std::string_view text);

// What the dialog takes from the shell around it.
struct SaverSetupServices {
  std::string open_filters;  // the open dialog's filter list, for the file types
  std::function<void(DialogService&, WindowId)> change_password;
  HelpViewer* help = nullptr;
  std::string help_file;
};

class TZentsaverDlg {
 public:
  TZentsaverDlg(TProfile& profile, SaverSetupServices services);
  // The handlers refer to the dialog itself.
  TZentsaverDlg(const TZentsaverDlg&) = delete;
  TZentsaverDlg& operator=(const TZentsaverDlg&) = delete;

  const DialogTemplate& Template() const { return template_; }
  // kIdOk or kIdCancel. Help opened from the dialog is closed with it.
  int Execute(DialogService& dialogs, WindowId owner);

 private:
  void Fill(TDialogState& state) const;
  void ReadBack(const TDialogState& state);
  ButtonResult ChooseColour(TDialogState& state, bool background);
  ButtonResult OpenHelp();

  TProfile& profile_;
  SaverSetupServices services_;
  DialogTemplate template_;
  WindowId owner_ = kNoWindow;
  bool help_open_ = false;
};
