// The printing dialogs as data: TWinPrintDlg (the printer to print on; page
// numbers and selection shown but disabled), the set-up dialog (printer,
// paper size, orientation) and TGetMarginsDlg (the four margins in mm).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialog_template.h"
#include "platform/message.h"

class DialogService;
class TProfile;

inline constexpr int kPrinterListId = 1201;
inline constexpr int kSelectionId = 1202;
inline constexpr int kPagesId = 1203;
inline constexpr int kPaperListId = 1204;
inline constexpr int kOrientationListId = 1205;
inline constexpr int kTopMarginId = 1211;
inline constexpr int kLeftMarginId = 1212;
inline constexpr int kRightMarginId = 1213;
inline constexpr int kBottomMarginId = 1214;

class TWinPrintDlg {
 public:
  // `printers` in list order; `current` is preselected.
  TWinPrintDlg(std::vector<std::string> printers, int current);
  TWinPrintDlg(const TWinPrintDlg&) = delete;
  TWinPrintDlg& operator=(const TWinPrintDlg&) = delete;
  const DialogTemplate& Template() const { return template_; }
  // The chosen entry, or nothing when cancelled.
  std::optional<int> Execute(DialogService& dialogs, WindowId owner);

 private:
  DialogTemplate template_;
  int chosen_ = -1;
};

struct SetupChoice {
  int printer = 0;
  int paper = 0;
  bool landscape = false;
};

// The paper sizes of the printer at an index of the list, and the one to
// select among them.
struct PaperChoices {
  std::vector<std::string> names;
  int selected = 0;
};
using PaperLister = std::function<PaperChoices(int printer)>;

class TPrintSetupDlg {
 public:
  // `papers` belong to the current printer; when another printer is picked,
  // `papers_of` gives the list that replaces them.
  TPrintSetupDlg(std::vector<std::string> printers, std::vector<std::string> papers,
                 const SetupChoice& current, PaperLister papers_of = {});
  TPrintSetupDlg(const TPrintSetupDlg&) = delete;
  TPrintSetupDlg& operator=(const TPrintSetupDlg&) = delete;
  const DialogTemplate& Template() const { return template_; }
  std::optional<SetupChoice> Execute(DialogService& dialogs, WindowId owner);

 private:
  DialogTemplate template_;
  SetupChoice chosen_;
};

class TGetMarginsDlg {
 public:
  explicit TGetMarginsDlg(TProfile& settings);
  const DialogTemplate& Template() const { return template_; }
  // On OK each field's first 9 characters, read as a decimal number (0 when
  // there is none), go into its setting; Cancel changes nothing.
  bool Execute(DialogService& dialogs, WindowId owner);

 private:
  DialogTemplate template_;
};
