#include "show/saver_setup.h"

#include <array>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <optional>

#include "platform/colour.h"
#include "platform/help_viewer.h"
#include "settings/profile.h"

namespace {
constexpr int kStaticId = -1;

// Names of the Effect values 1..12, in order.
constexpr std::array<const char*, 12> kEffectNames = {
    "Direct",   "Fast",      "Horizontal", "Vertical", "Horizontal Blinds", "Vertical Blinds",
    "Check In", "Check Out", "Box In",     "Box Out",  "Dissolve",          "Random"};

struct NumberField {
  int id;
  const char* label;
  IntKey key;
};
constexpr std::array<NumberField, 4> kNumberFields = {{
    {kSaverAcrossId, "Frames &Across:", IntKey::ThumbnailsAcross},
    {kSaverDownId, "Frames &Down:", IntKey::ThumbnailsDown},
    {kSaverImageDelayId, "&Image Delay:", IntKey::DelayBetweenImages},
    {kSaverSoundDelayId, "Sou&nd Delay:", IntKey::DelayBetweenSounds},
}};

struct CheckField {
  const char* label;
  IntKey key;
};
// Ids 1553..1570 in this order.
constexpr std::array<CheckField, kSaverLastCheckId - kSaverFirstCheckId + 1> kCheckFields = {{
    {"Random Frames", IntKey::ThumbnailsRandom},
    {"Annotate Frames", IntKey::ThumbnailsAnnotate},
    {"Sound Enable", IntKey::SoundEnable},
    {"Sound Synchronous", IntKey::SoundSynchronous},
    {"Enable Password", IntKey::SlideshowPassword},
    {"Display in Color", IntKey::DisplayInColor},
    {"Random Order", IntKey::RandomOrder},
    {"Two Pass", IntKey::JPEGTwoPass},
    {"Use Dithering", IntKey::JPEGUseDithering},
    {"Use Monochrome", IntKey::JPEGUseMonochrome},
    {"Block Smoothing", IntKey::JPEGBlockSmoothing},
    {"Pixel Smoothing", IntKey::JPEGPixelSmoothing},
    {"Auto Scale", IntKey::AutoScale},
    {"Auto Fit", IntKey::AutoFit},
    {"Auto Crop", IntKey::AutoCrop},
    {"Auto Dither", IntKey::AutoDither},
    {"Auto Search", IntKey::AutoSearch},
    {"Auto Resume", IntKey::AutoResume},
}};

// Layout in dialog units.
constexpr int kDialogWidth = 300;
constexpr int kDialogHeight = 190;
constexpr int kMargin = 8;
constexpr int kRowHeight = 12;
constexpr int kFieldRowStep = 18;
constexpr int kCheckTop = 84;
constexpr int kCheckColumns = 3;
constexpr int kCheckWidth = 94;
constexpr int kButtonTop = 166;
constexpr int kButtonWidth = 38;
constexpr int kButtonGap = 3;
constexpr int kDropDownHeight = 100;

DialogControl Static(const char* text, Rect layout) {
  DialogControl control = DialogControl::Make(kStaticId, ControlKind::kStatic, text);
  control.layout = layout;
  return control;
}

DialogControl Edit(int id, Rect layout, int limit) {
  DialogControl control = DialogControl::Make(id, ControlKind::kEdit);
  control.layout = layout;
  control.limit = limit;
  return control;
}

DialogControl DropDown(int id, Rect layout, std::vector<std::string> items) {
  DialogControl control = DialogControl::Make(id, ControlKind::kDropDownList);
  control.layout = layout;
  control.items = std::move(items);
  return control;
}

DialogControl CheckBox(int id, const char* label, Rect layout) {
  DialogControl control = DialogControl::Make(id, ControlKind::kCheckBox, label);
  control.layout = layout;
  return control;
}

DialogControl Button(int id, const char* text, int index) {
  DialogControl control = DialogControl::Make(id, ControlKind::kButton, text);
  const int left = kMargin + index * (kButtonWidth + kButtonGap);
  control.layout = Rect{left, kButtonTop, left + kButtonWidth, kButtonTop + 14};
  control.default_button = id == kIdOk;
  return control;
}

std::vector<DialogControl> Controls(const std::vector<std::string>& file_types) {
  std::vector<DialogControl> controls;
  const int right = kDialogWidth - kMargin;
  const int half = kDialogWidth / 2;
  controls.push_back(Static("File &Spec:", Rect{kMargin, 10, 60, 20}));
  controls.push_back(Edit(kSaverFileSpecId, Rect{62, 8, right, 20}, kSaverFileSpecChars));
  controls.push_back(Static("File &Types:", Rect{kMargin, 28, 60, 38}));
  controls.push_back(
      DropDown(kSaverFileTypesId, Rect{62, 26, half - 4, 26 + kDropDownHeight}, file_types));
  controls.push_back(Static("Display &Effect:", Rect{half + 4, 28, half + 60, 38}));
  controls.push_back(DropDown(kSaverEffectId, Rect{half + 62, 26, right, 26 + kDropDownHeight},
                              std::vector<std::string>(kEffectNames.begin(), kEffectNames.end())));
  for (std::size_t i = 0; i < kNumberFields.size(); ++i) {
    const int column = static_cast<int>(i % 2);
    const int top = 44 + static_cast<int>(i / 2) * kFieldRowStep;
    const int left = kMargin + column * (half - kMargin + 4);
    controls.push_back(Static(kNumberFields[i].label, Rect{left, top + 2, left + 54, top + 12}));
    controls.push_back(Edit(kNumberFields[i].id, Rect{left + 56, top, left + 96, top + kRowHeight},
                            kSaverNumberChars));
  }
  for (std::size_t i = 0; i < kCheckFields.size(); ++i) {
    const int left = kMargin + static_cast<int>(i % kCheckColumns) * kCheckWidth;
    const int top = kCheckTop + static_cast<int>(i / kCheckColumns) * kRowHeight;
    controls.push_back(CheckBox(kSaverFirstCheckId + static_cast<int>(i), kCheckFields[i].label,
                                Rect{left, top, left + kCheckWidth - 4, top + 10}));
  }
  int index = 0;
  controls.push_back(Button(kIdOk, "&OK", index++));
  controls.push_back(Button(kIdCancel, "&Cancel", index++));
  controls.push_back(Button(kSaverHelpId, "&Help", index++));
  controls.push_back(Button(kSaverPasswordId, "&Password", index++));
  controls.push_back(Button(kSaverBackgroundId, "&Background", index++));
  controls.push_back(Button(kSaverForegroundId, "&Foreground", index++));
  controls.push_back(Button(kSaverDefaultsId, "Defa&ults", index++));
  return controls;
}

// A drop-down selection for a 1-based setting; none when out of the list.
int SelectionOf(int value, std::size_t count) {
  return value >= 1 && static_cast<std::size_t>(value) <= count ? value - 1 : -1;
}

struct ColourKeys {
  IntKey red;
  IntKey green;
  IntKey blue;
};
constexpr ColourKeys kBackgroundKeys{IntKey::BackgroundRed, IntKey::BackgroundGreen,
                                     IntKey::BackgroundBlue};
constexpr ColourKeys kForegroundKeys{IntKey::ForegroundRed, IntKey::ForegroundGreen,
                                     IntKey::ForegroundBlue};
}  // namespace

std::vector<std::string> FilterDescriptions(std::string_view filters) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start < filters.size()) {
    const std::size_t bar = filters.find('|', start);
    if (bar == std::string_view::npos) break;
    names.emplace_back(filters.substr(start, bar - start));
    const std::size_t pattern_end = filters.find('|', bar + 1);
    if (pattern_end == std::string_view::npos) break;
    start = pattern_end + 1;
  }
  return names;
}

int NumberFieldValue(std::string_view text) {
  const std::string head(text.substr(0, kSaverNumberChars));
  // Nine digits never leave the range of an int.
  return static_cast<int>(std::strtol(head.c_str(), nullptr, 10));
}

TZentsaverDlg::TZentsaverDlg(TProfile& profile, SaverSetupServices services)
    : profile_(profile), services_(std::move(services)) {
  template_.resource = kSaverSetupResource;
  template_.caption = kSaverSetupCaption;
  template_.size = Size{kDialogWidth, kDialogHeight};
  template_.controls = Controls(FilterDescriptions(services_.open_filters));
  template_.on_init = [this](TDialogState& state) { Fill(state); };
  template_.handlers[kSaverHelpId] = [this](TDialogState&) { return OpenHelp(); };
  template_.handlers[kSaverPasswordId] = [this](TDialogState& state) {
    if (services_.change_password) services_.change_password(state.Dialogs(), owner_);
    return ButtonResult::StayOpen();
  };
  template_.handlers[kSaverBackgroundId] = [this](TDialogState& state) {
    return ChooseColour(state, true);
  };
  template_.handlers[kSaverForegroundId] = [this](TDialogState& state) {
    return ChooseColour(state, false);
  };
  template_.handlers[kSaverDefaultsId] = [this](TDialogState& state) {
    profile_.Defaults();
    Fill(state);
    return ButtonResult::StayOpen();
  };
  template_.on_close = [this](TDialogState& state, int) { ReadBack(state); };
}

int TZentsaverDlg::Execute(DialogService& dialogs, WindowId owner) {
  owner_ = owner;
  help_open_ = false;
  const int result = dialogs.RunDialog(template_, owner);
  if (help_open_ && services_.help != nullptr) {
    services_.help->ShowHelp(owner, services_.help_file, HelpCommand::kQuit);
  }
  help_open_ = false;
  return result;
}

void TZentsaverDlg::Fill(TDialogState& state) const {
  state.SetText(kSaverFileSpecId, profile_.Get(StringKey::FileSpec));
  const std::size_t file_types = state.Control(kSaverFileTypesId)->items.size();
  state.SetSelection(kSaverFileTypesId, SelectionOf(profile_.Get(IntKey::OpenIndex), file_types));
  state.SetSelection(kSaverEffectId,
                     SelectionOf(profile_.Get(IntKey::Effect), kEffectNames.size()));
  for (const NumberField& field : kNumberFields) {
    state.SetText(field.id, std::to_string(profile_.Get(field.key)));
  }
  for (std::size_t i = 0; i < kCheckFields.size(); ++i) {
    state.SetChecked(kSaverFirstCheckId + static_cast<int>(i),
                     profile_.Get(kCheckFields[i].key) != 0);
  }
}

void TZentsaverDlg::ReadBack(const TDialogState& state) {
  profile_.Set(StringKey::FileSpec, state.Text(kSaverFileSpecId).substr(0, kSaverFileSpecChars));
  // A list left without a selection keeps its setting.
  if (const int types = state.Selection(kSaverFileTypesId); types >= 0) {
    profile_.Set(IntKey::OpenIndex, types + 1);
  }
  if (const int effect = state.Selection(kSaverEffectId); effect >= 0) {
    profile_.Set(IntKey::Effect, effect + 1);
  }
  for (const NumberField& field : kNumberFields) {
    profile_.Set(field.key, NumberFieldValue(state.Text(field.id)));
  }
  for (std::size_t i = 0; i < kCheckFields.size(); ++i) {
    profile_.Set(kCheckFields[i].key,
                 state.IsChecked(kSaverFirstCheckId + static_cast<int>(i)) ? 1 : 0);
  }
}

ButtonResult TZentsaverDlg::ChooseColour(TDialogState& state, bool background) {
  const ColourKeys keys = background ? kBackgroundKeys : kForegroundKeys;
  ColourRequest request;
  request.owner = owner_;
  request.caption = background ? kSaverBackgroundCaption : kSaverForegroundCaption;
  request.initial =
      MakeRgb(profile_.Get(keys.red), profile_.Get(keys.green), profile_.Get(keys.blue));
  request.full_open = true;
  const std::optional<ColorRef> chosen = state.Dialogs().ChooseColour(request);
  if (chosen) {
    profile_.Set(keys.red, RedOf(*chosen));
    profile_.Set(keys.green, GreenOf(*chosen));
    profile_.Set(keys.blue, BlueOf(*chosen));
  }
  return ButtonResult::StayOpen();
}

ButtonResult TZentsaverDlg::OpenHelp() {
  if (services_.help != nullptr &&
      services_.help->ShowHelp(owner_, services_.help_file, HelpCommand::kContents)) {
    help_open_ = true;
  }
  return ButtonResult::StayOpen();
}
