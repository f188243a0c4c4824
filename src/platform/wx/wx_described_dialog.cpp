// The program's dialogs, described as data, as wx dialogs. Controls sit in
// rows by their place in the description (controls whose tops are close share
// a row), group boxes hold the controls inside their rectangle, and the
// buttons close the dialog in a row of their own. Shown modeless, a button
// that closes the dialog only hides it; its owner destroys it.
#include <gtk/gtk.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <thread>

#include "platform/wx/wx_dialogs.h"

namespace {
constexpr int kFirstControlId = 20000;
// Dialog units within which two tops count as one row.
constexpr int kRowTolerance = 4;
constexpr int kGap = 6;
// How long a modeless dialog may take to come up on the screen.
constexpr auto kShowTimeout = std::chrono::milliseconds(500);
constexpr auto kShowPoll = std::chrono::milliseconds(2);

class TDescribedDialog : public wxDialog {
 public:
  TDescribedDialog(wxWindow* parent, const DialogTemplate& dialog, DialogService& service)
      : wxDialog(parent, wxID_ANY, wxString::FromUTF8(dialog.caption)), state_(dialog, service) {
    if (dialog.on_init) dialog.on_init(state_);
    Build();
    PushValues();
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) {
      Press(kIdCancel);
      // Without a Cancel button the close box still closes.
      if (!state_.IsClosed() && !state_.Control(kIdCancel)) {
        state_.Close(kIdCancel);
        Finish(kIdCancel);
      }
    });
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
      if (event.GetKeyCode() == WXK_ESCAPE) {
        Press(kIdCancel);
      } else {
        event.Skip();
      }
    });
  }

  int Run() {
    if (!state_.IsClosed()) ShowModal();
    if (!state_.IsClosed()) state_.Close(kIdCancel);
    return state_.Result();
  }

  const TDialogState& State() const { return state_; }

 private:
  void Finish(int result) {
    if (IsModal()) {
      EndModal(result);
    } else {
      Hide();
    }
  }

  const std::vector<DialogControl>& Controls() const { return state_.Controls(); }

  void Build() {
    auto* outer = new wxBoxSizer(wxVERTICAL);
    std::vector<const DialogControl*> body;
    std::vector<const DialogControl*> buttons;
    for (const DialogControl& control : Controls()) {
      (control.kind == ControlKind::kButton ? buttons : body).push_back(&control);
    }
    AddControls(outer, this, body, nullptr);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->AddStretchSpacer();
    for (const DialogControl* control : buttons) {
      auto* button = new wxButton(this, WxId(control->id), wxString::FromUTF8(control->label));
      if (control->default_button) button->SetDefault();
      const int id = control->id;
      button->Bind(wxEVT_BUTTON, [this, id](wxCommandEvent&) { Press(id); });
      windows_[control->id] = button;
      row->Add(button, 0, wxLEFT, kGap);
    }
    outer->Add(row, 0, wxEXPAND | wxALL, kGap);
    SetSizerAndFit(outer);
    CentreOnParent();
  }

  static bool Inside(const Rect& group, const Rect& rect) {
    return !group.IsEmpty() && !rect.IsEmpty() && group.Contains(rect);
  }

  // Adds the controls (those inside a group box go into its box) in rows.
  void AddControls(wxSizer* sizer, wxWindow* parent, std::vector<const DialogControl*> controls,
                   const DialogControl* group) {
    std::vector<const DialogControl*> mine;
    for (const DialogControl* control : controls) {
      bool nested = false;
      for (const DialogControl* other : controls) {
        if (other != control && other->kind == ControlKind::kGroupBox && other != group &&
            Inside(other->layout, control->layout)) {
          nested = true;
        }
      }
      if (!nested) mine.push_back(control);
    }
    std::stable_sort(mine.begin(), mine.end(), [](const DialogControl* a, const DialogControl* b) {
      return a->layout.top + kRowTolerance < b->layout.top;
    });
    std::size_t i = 0;
    while (i < mine.size()) {
      std::size_t end = i + 1;
      while (end < mine.size() && !mine[i]->layout.IsEmpty() &&
             std::abs(mine[end]->layout.top - mine[i]->layout.top) <= kRowTolerance) {
        ++end;
      }
      std::vector<const DialogControl*> row(mine.begin() + static_cast<std::ptrdiff_t>(i),
                                            mine.begin() + static_cast<std::ptrdiff_t>(end));
      std::stable_sort(row.begin(), row.end(), [](const DialogControl* a, const DialogControl* b) {
        return a->layout.left < b->layout.left;
      });
      auto* line = new wxBoxSizer(wxHORIZONTAL);
      for (const DialogControl* control : row) {
        if (control->kind == ControlKind::kGroupBox) {
          auto* box = new wxStaticBoxSizer(wxVERTICAL, parent, wxString::FromUTF8(control->label));
          std::vector<const DialogControl*> inside;
          for (const DialogControl* other : controls) {
            if (other != control && Inside(control->layout, other->layout)) inside.push_back(other);
          }
          AddControls(box, box->GetStaticBox(), inside, control);
          line->Add(box, 1, wxEXPAND | wxRIGHT, kGap);
        } else {
          AddControl(line, parent, *control);
        }
      }
      sizer->Add(line, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, kGap);
      i = end;
    }
  }

  void AddControl(wxSizer* line, wxWindow* parent, const DialogControl& control) {
    const wxString label = wxString::FromUTF8(control.label);
    const Size pixels = DialogUnitsToPixels(Size{control.layout.Width(), control.layout.Height()});
    const wxSize size(pixels.width > 0 ? pixels.width : -1, -1);
    wxWindow* made = nullptr;
    int proportion = 0;
    switch (control.kind) {
      case ControlKind::kStatic:
        made = new wxStaticText(parent, WxId(control.id), label);
        break;
      case ControlKind::kEdit: {
        auto* edit = new wxTextCtrl(parent, WxId(control.id), wxString(), wxDefaultPosition, size,
                                    control.masked ? wxTE_PASSWORD : 0);
        if (control.limit > 0) edit->SetMaxLength(static_cast<unsigned long>(control.limit));
        made = edit;
        proportion = 1;
        break;
      }
      case ControlKind::kCheckBox:
        made = new wxCheckBox(parent, WxId(control.id), label);
        break;
      case ControlKind::kDropDownList: {
        wxArrayString items;
        for (const std::string& item : control.items) items.Add(wxString::FromUTF8(item));
        auto* choice = new wxChoice(parent, WxId(control.id), wxDefaultPosition, size, items);
        const int id = control.id;
        choice->Bind(wxEVT_CHOICE, [this, id, choice](wxCommandEvent&) {
          PullValues();
          state_.Choose(id, choice->GetSelection());
          PushValues();
        });
        made = choice;
        proportion = 1;
        break;
      }
      case ControlKind::kGroupBox:
      case ControlKind::kButton:
        return;
    }
    // Texts without an id share it: none of them can be addressed.
    if (control.id >= 0) windows_[control.id] = made;
    line->Add(made, proportion, wxALIGN_CENTER_VERTICAL | wxRIGHT, kGap);
  }

  // Controls without an id of their own (static texts) take any id: the
  // toolkit refuses ids beyond its range.
  static int WxId(int control_id) {
    return control_id < 0 ? wxID_ANY : kFirstControlId + (control_id & 0xFFFF);
  }

  // What the user changed goes into the state before a button's handler runs.
  void PullValues() {
    for (const auto& [id, window] : windows_) {
      if (auto* edit = dynamic_cast<wxTextCtrl*>(window)) {
        state_.SetText(id, edit->GetValue().utf8_string());
      } else if (auto* check = dynamic_cast<wxCheckBox*>(window)) {
        state_.SetChecked(id, check->GetValue());
      } else if (auto* choice = dynamic_cast<wxChoice*>(window)) {
        state_.SetSelection(id, choice->GetSelection());
      }
    }
  }

  // A handler may change texts, ticks, selections, enabling and the caption.
  void PushValues() {
    for (const auto& [id, window] : windows_) {
      const DialogControl* control = state_.Control(id);
      if (!control) continue;
      window->Enable(control->enabled);
      if (auto* edit = dynamic_cast<wxTextCtrl*>(window)) {
        const wxString text = wxString::FromUTF8(control->text);
        if (edit->GetValue() != text) edit->ChangeValue(text);
      } else if (auto* check = dynamic_cast<wxCheckBox*>(window)) {
        check->SetValue(control->checked);
      } else if (auto* choice = dynamic_cast<wxChoice*>(window)) {
        // A handler may have given the list other entries.
        wxArrayString items;
        for (const std::string& item : control->items) items.Add(wxString::FromUTF8(item));
        if (choice->GetStrings() != items) choice->Set(items);
        choice->SetSelection(control->selection);
      } else if (control->kind == ControlKind::kStatic || control->kind == ControlKind::kButton) {
        window->SetLabel(wxString::FromUTF8(control->label));
      }
    }
    SetTitle(wxString::FromUTF8(state_.Caption()));
  }

  void Press(int id) {
    PullValues();
    const std::optional<int> closed = state_.PressButton(id);
    if (closed) {
      Finish(*closed);
      return;
    }
    PushValues();
  }

  TDialogState state_;
  std::map<int, wxWindow*> windows_;
};

class TShownDialog final : public ModelessDialog {
 public:
  TShownDialog(const DialogTemplate& dialog, DialogService& service, wxWindow* parent,
               const std::function<void()>& pump)
      : template_(dialog), dialog_(new TDescribedDialog(parent, template_, service)) {
    ShowNow(pump);
  }
  ~TShownDialog() override { dialog_->Destroy(); }
  TShownDialog(const TShownDialog&) = delete;
  TShownDialog& operator=(const TShownDialog&) = delete;

  const TDialogState& State() const override { return dialog_->State(); }

 private:
  // The work that follows keeps the loop busy, so the dialog is mapped and
  // drawn before it starts.
  void ShowNow(const std::function<void()>& pump) {
    dialog_->Show();
    auto* widget = static_cast<GtkWidget*>(dialog_->GetHandle());
    const auto until = std::chrono::steady_clock::now() + kShowTimeout;
    while (pump && widget && !gtk_widget_get_mapped(widget) &&
           std::chrono::steady_clock::now() < until) {
      pump();
      std::this_thread::sleep_for(kShowPoll);
    }
    if (pump) pump();
    dialog_->Update();
  }

  DialogTemplate template_;
  // The toolkit owns the window; Destroy hands it back.
  TDescribedDialog* dialog_;
};
}  // namespace

std::unique_ptr<ModelessDialog> ShowDescribedDialog(const DialogTemplate& dialog,
                                                    DialogService& service, wxWindow* parent,
                                                    const std::function<void()>& pump) {
  return std::make_unique<TShownDialog>(dialog, service, parent, pump);
}

int RunDescribedDialog(const DialogTemplate& dialog, DialogService& service, wxWindow* parent) {
  TDescribedDialog shown(parent, dialog, service);
  return shown.Run();
}
