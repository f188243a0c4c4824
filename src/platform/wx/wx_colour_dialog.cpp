#include "platform/wx/wx_colour_dialog.h"

#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>

#include <functional>
#include <vector>

namespace {
constexpr int kSwatch = 20;
constexpr int kGap = 4;
constexpr char kDefaultCaption[] = "Color";
constexpr char kBasicLabel[] = "&Basic colors:";
constexpr char kCustomLabel[] = "&Custom colors:";
constexpr char kAddLabel[] = "&Add to Custom Colors";

// Six hues by eight shades, as the classic chooser lays them out.
constexpr ColorRef kBasicColours[] = {
    MakeRgb(255, 128, 128), MakeRgb(255, 255, 128), MakeRgb(128, 255, 128), MakeRgb(0, 255, 128),
    MakeRgb(128, 255, 255), MakeRgb(0, 128, 255),   MakeRgb(255, 128, 192), MakeRgb(255, 128, 255),
    MakeRgb(255, 0, 0),     MakeRgb(255, 255, 0),   MakeRgb(128, 255, 0),   MakeRgb(0, 255, 64),
    MakeRgb(0, 255, 255),   MakeRgb(0, 128, 192),   MakeRgb(128, 128, 192), MakeRgb(255, 0, 255),
    MakeRgb(128, 64, 64),   MakeRgb(255, 128, 64),  MakeRgb(0, 255, 0),     MakeRgb(0, 128, 128),
    MakeRgb(0, 64, 128),    MakeRgb(128, 128, 255), MakeRgb(128, 0, 64),    MakeRgb(255, 0, 128),
    MakeRgb(128, 0, 0),     MakeRgb(255, 128, 0),   MakeRgb(0, 128, 0),     MakeRgb(0, 128, 64),
    MakeRgb(0, 0, 255),     MakeRgb(0, 0, 160),     MakeRgb(128, 0, 128),   MakeRgb(128, 0, 255),
    MakeRgb(64, 0, 0),      MakeRgb(128, 64, 0),    MakeRgb(0, 64, 0),      MakeRgb(0, 64, 64),
    MakeRgb(0, 0, 128),     MakeRgb(0, 0, 64),      MakeRgb(64, 0, 64),     MakeRgb(64, 0, 128),
    MakeRgb(0, 0, 0),       MakeRgb(128, 128, 0),   MakeRgb(128, 128, 64),  MakeRgb(128, 128, 128),
    MakeRgb(64, 128, 128),  MakeRgb(192, 192, 192), MakeRgb(64, 0, 64),     MakeRgb(255, 255, 255),
};

wxColour ToWx(ColorRef colour) {
  return wxColour(static_cast<unsigned char>(RedOf(colour)),
                  static_cast<unsigned char>(GreenOf(colour)),
                  static_cast<unsigned char>(BlueOf(colour)));
}

// One clickable colour box.
class TSwatch : public wxWindow {
 public:
  TSwatch(wxWindow* parent, ColorRef colour, std::function<void(TSwatch&)> clicked)
      : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxSize(kSwatch, kSwatch), wxBORDER_SUNKEN),
        clicked_(std::move(clicked)) {
    SetColour(colour);
    Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent&) { clicked_(*this); });
  }
  ColorRef Colour() const { return colour_; }
  void SetColour(ColorRef colour) {
    colour_ = colour;
    SetBackgroundColour(ToWx(colour));
    Refresh();
  }

 private:
  ColorRef colour_ = 0;
  std::function<void(TSwatch&)> clicked_;
};

class TColourDialog : public wxDialog {
 public:
  TColourDialog(wxWindow* parent, const std::string& caption, ColorRef initial, bool full_open,
                const std::array<ColorRef, kCustomColourCount>& custom)
      : wxDialog(parent, wxID_ANY, wxString::FromUTF8(caption.empty() ? kDefaultCaption : caption)),
        custom_(custom) {
    auto* outer = new wxBoxSizer(wxVERTICAL);
    outer->Add(new wxStaticText(this, wxID_ANY, kBasicLabel), 0, wxALL, kGap);
    auto* basic = new wxGridSizer(6, 8, 2, 2);
    for (const ColorRef colour : kBasicColours) {
      basic->Add(new TSwatch(this, colour, [this](TSwatch& swatch) { Pick(swatch.Colour()); }));
    }
    outer->Add(basic, 0, wxALL, kGap);
    outer->Add(new wxStaticText(this, wxID_ANY, kCustomLabel), 0, wxALL, kGap);
    auto* boxes = new wxGridSizer(2, 8, 2, 2);
    for (int i = 0; i < kCustomColourCount; ++i) {
      auto* swatch = new TSwatch(this, custom_[static_cast<std::size_t>(i)], [this, i](TSwatch& s) {
        selected_custom_ = i;
        Pick(s.Colour());
      });
      swatches_.push_back(swatch);
      boxes->Add(swatch);
    }
    outer->Add(boxes, 0, wxALL, kGap);

    auto* mixer = new wxBoxSizer(wxHORIZONTAL);
    preview_ = new wxWindow(this, wxID_ANY, wxDefaultPosition, wxSize(3 * kSwatch, 2 * kSwatch),
                            wxBORDER_SUNKEN);
    mixer->Add(preview_, 0, wxALL, kGap);
    auto* fields = new wxFlexGridSizer(2, kGap, kGap);
    const char* names[] = {"&Red:", "&Green:", "Bl&ue:"};
    for (int i = 0; i < 3; ++i) {
      fields->Add(new wxStaticText(this, wxID_ANY, names[i]), 0, wxALIGN_CENTER_VERTICAL);
      spins_[i] = new wxSpinCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                 wxSP_ARROW_KEYS, 0, 255, 0);
      spins_[i]->Bind(wxEVT_SPINCTRL, [this](wxSpinEvent&) { Pick(FromFields()); });
      spins_[i]->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { Pick(FromFields()); });
      fields->Add(spins_[i]);
    }
    mixer->Add(fields, 0, wxALL, kGap);
    auto* add = new wxButton(this, wxID_ANY, kAddLabel);
    add->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { AddToCustom(); });
    mixer->Add(add, 0, wxALIGN_CENTER_VERTICAL | wxALL, kGap);
    outer->Add(mixer, 0, wxEXPAND);
    // Without the custom part open, only the basic boxes and buttons show.
    if (!full_open) {
      outer->Hide(mixer, true);
    }
    outer->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxALL, kGap);
    SetSizerAndFit(outer);
    Pick(initial);
    CentreOnParent();
  }

  ColorRef Colour() const { return colour_; }
  const std::array<ColorRef, kCustomColourCount>& Custom() const { return custom_; }

 private:
  ColorRef FromFields() const {
    return MakeRgb(spins_[0]->GetValue(), spins_[1]->GetValue(), spins_[2]->GetValue());
  }

  void Pick(ColorRef colour) {
    if (picking_) return;
    picking_ = true;
    colour_ = colour;
    const int values[] = {RedOf(colour), GreenOf(colour), BlueOf(colour)};
    for (int i = 0; i < 3; ++i) {
      if (spins_[i]->GetValue() != values[i]) spins_[i]->SetValue(values[i]);
    }
    preview_->SetBackgroundColour(ToWx(colour));
    preview_->Refresh();
    picking_ = false;
  }

  void AddToCustom() {
    const std::size_t slot = static_cast<std::size_t>(selected_custom_);
    custom_[slot] = colour_;
    swatches_[slot]->SetColour(colour_);
    selected_custom_ = (selected_custom_ + 1) % kCustomColourCount;
  }

  std::array<ColorRef, kCustomColourCount> custom_;
  std::vector<TSwatch*> swatches_;
  wxSpinCtrl* spins_[3] = {};
  wxWindow* preview_ = nullptr;
  ColorRef colour_ = 0;
  int selected_custom_ = 0;
  bool picking_ = false;
};
}  // namespace

std::optional<ColorRef> RunColourDialog(wxWindow* parent, const std::string& caption,
                                        ColorRef initial, bool full_open,
                                        std::array<ColorRef, kCustomColourCount>& custom) {
  TColourDialog dialog(parent, caption, initial, full_open, custom);
  if (dialog.ShowModal() != wxID_OK) return std::nullopt;
  custom = dialog.Custom();
  return dialog.Colour();
}
