// The Options menu: saving and restoring the settings, the toggles and
// option groups, the number prompts and the colour dialogs. The thumbnail
// options register themselves elsewhere.
#include <optional>

#include "app/command_ids.h"
#include "app/command_registry.h"
#include "app/commands/command_rules.h"
#include "app/commands/command_texts.h"
#include "app/commands/number_prompt.h"
#include "app/commands/register_commands.h"
#include "app/commands/window_internals.h"
#include "app/main_window.h"
#include "app/passwords.h"
#include "settings/three_d_controls.h"

namespace {
constexpr int kDirectEffectValue = 1;

CommandBinding Run(void (*run)(TZentropeWin&), bool defer_if_busy) {
  CommandBinding binding;
  binding.run = run;
  binding.defer_if_busy = defer_if_busy;
  return binding;
}

// Plain number prompts unless marked otherwise.
CommandBinding NumberPrompt(const char* prompt, IntKey key, NumberRange range) {
  CommandBinding binding;
  binding.run = [prompt, key, range](TZentropeWin& win) {
    PromptNumber(win.Backend().Dialogs(), win.MainWindow().Id(), prompt, win.Settings(), key,
                 range);
  };
  binding.defer_if_busy = false;
  return binding;
}

// The settings replaced by `replace` (Restore or Defaults); the windows then
// follow the new values.
void ReplaceSettings(TZentropeWin& win, void (TProfile::*replace)()) {
  win.CapturePlacement();
  const TProfile::IntValues previous = win.Settings().Ints();
  (win.Settings().*replace)();
  win.ApplySettings(previous);
}

void SaveOptions(TZentropeWin& win) {
  win.CapturePlacement();
  win.Settings().Save();
}

void RestoreOptions(TZentropeWin& win) {
  ReplaceSettings(win, &TProfile::Restore);
}

void DefaultOptions(TZentropeWin& win) {
  ReplaceSettings(win, &TProfile::Defaults);
}

struct ColourKeys {
  IntKey red;
  IntKey green;
  IntKey blue;
};

CommandBinding ColourCommand(const char* caption, ColourKeys keys) {
  CommandBinding binding;
  binding.run = [caption, keys](TZentropeWin& win) {
    TProfile& settings = win.Settings();
    ColourRequest request;
    request.owner = win.MainWindow().Id();
    request.caption = caption;
    request.initial =
        MakeRgb(settings.Get(keys.red), settings.Get(keys.green), settings.Get(keys.blue));
    request.full_open = true;
    const std::optional<ColorRef> chosen = win.Backend().Dialogs().ChooseColour(request);
    if (!chosen) return;
    settings.Set(keys.red, RedOf(*chosen));
    settings.Set(keys.green, GreenOf(*chosen));
    settings.Set(keys.blue, BlueOf(*chosen));
    win.RefreshFrame(false);
  };
  return binding;
}

void SetPassword(TZentropeWin& win) {
  TSetPasswordDlg().Execute(win.Backend().Dialogs(), win.MainWindow().Id());
}

void Redraw(TZentropeWin& win) {
  win.RefreshFrame(false);
}

void Repaint(TZentropeWin& win) {
  win.BuildDisplayPalette(true);
}

void RegisterDisplayOptions(TCommandRegistry& registry) {
  CommandBinding fill;
  fill.run = [](TZentropeWin& win) { WindowInternals::ToggleFillWindow(win); };
  fill.defer_if_busy = false;
  registry.Add(CM_FILL_WINDOW, fill);
  registry.Add(CM_ALWAYS_ON_TOP, ToggleBinding(IntKey::AlwaysOnTop, [](TZentropeWin& win) {
                 TWindow& window = win.MainWindow();
                 window.SetTopmost(win.Settings().Get(IntKey::AlwaysOnTop) != 0);
                 window.Show();
               }));
  registry.Add(CM_DISPLAY_IN_COLOR, ToggleBinding(IntKey::DisplayInColor, Repaint));
  registry.Add(CM_ENABLE_3D_CONTROLS,
               ToggleBinding(IntKey::Enable3dControls, [](TZentropeWin& win) {
                 ApplyThreeDControls(win.Settings().Get(IntKey::Enable3dControls) != 0);
               }));
  registry.Add(CM_ENABLE_LARGE_DIALOGS, ToggleBinding(IntKey::EnableLargeDialogs));
  registry.Add(CM_PRINT_IN_COLOR, ToggleBinding(IntKey::PrintInColor));
  registry.Add(CM_PRINT_DITHERED, ToggleBinding(IntKey::PrintDithered));
  registry.Add(CM_BACKGROUND_COLOR, ColourCommand(kBackgroundColourCaption,
                                                  {IntKey::BackgroundRed, IntKey::BackgroundGreen,
                                                   IntKey::BackgroundBlue}));
  registry.Add(CM_FOREGROUND_COLOR, ColourCommand(kForegroundColourCaption,
                                                  {IntKey::ForegroundRed, IntKey::ForegroundGreen,
                                                   IntKey::ForegroundBlue}));
}

void RegisterFormatOptions(TCommandRegistry& registry) {
  registry.Add(CM_GIF_INTERLACED, ToggleBinding(IntKey::GIFInterlaced));
  registry.Add(CM_GIF_TRANSPARENT, ToggleBinding(IntKey::GIFTransparent));
  registry.Add(CM_GIF_COLORS, NumberPrompt(kGifColorsPrompt, IntKey::GIFColors, {2, 256}));
  registry.Add(CM_GIF_LZW_ENABLE, ToggleBinding(IntKey::GIFLZWEnable));
  const IntKey jpeg_toggles[] = {IntKey::JPEGTwoPass,        IntKey::JPEGUseDithering,
                                 IntKey::JPEGUseMonochrome,  IntKey::JPEGBlockSmoothing,
                                 IntKey::JPEGPixelSmoothing, IntKey::JPEGOutputMonochrome,
                                 IntKey::JPEGOutputOptimize};
  std::uint32_t id = CM_JPEG_TWO_PASS;
  for (IntKey key : jpeg_toggles) registry.Add(id++, ToggleBinding(key));
  registry.Add(CM_JPEG_OUTPUT_QUALITY,
               NumberPrompt(kJpegQualityPrompt, IntKey::JPEGOutputQuality, {0, 100}));
  registry.Add(CM_JPEG_OUTPUT_SMOOTHING,
               NumberPrompt(kJpegSmoothingPrompt, IntKey::JPEGOutputSmoothing, {0, 100}));
  AddGroup(registry, CM_TIFF_NO_COMPRESSION, 5, kTiffCompressionBase, IntKey::TIFFCompression);
  registry.Add(CM_QUICK_LOOK, ToggleBinding(IntKey::QuickLook, [](TZentropeWin& win) {
                 win.Backend().EventLoop().PostCommand(win.MainWindow().Id(), CM_RELOAD);
               }));
  registry.Add(CM_SORT_PALETTE, ToggleBinding(IntKey::SortPalette));
  registry.Add(CM_OUTPUT_WIDTH, NumberPrompt(kOutputWidthPrompt, IntKey::OutputWidth, {0, 32767}));
  registry.Add(CM_OUTPUT_HEIGHT,
               NumberPrompt(kOutputHeightPrompt, IntKey::OutputHeight, {0, 32767}));
  registry.Add(CM_ENCODE_LINES, NumberPrompt(kEncodeLinesPrompt, IntKey::EncodeLines, {1, 32767}));
}

void RegisterViewOptions(TCommandRegistry& registry) {
  AddGroup(registry, CM_DITHER_LOW, 3, kDitherQualityBase, IntKey::DitherQuality,
           [](TZentropeWin& win, int) {
             WindowInternals::Dither(win).SetQuality(win.Settings().Get(IntKey::DitherQuality));
             win.RefreshFrame(false);
           });
  AddGroup(registry, CM_EFFECT_DIRECT, CM_EFFECT_RANDOM - CM_EFFECT_DIRECT + 1, kEffectBase,
           IntKey::Effect, [](TZentropeWin& win, int previous) {
             const bool was_direct = previous == kDirectEffectValue;
             const bool is_direct = win.Settings().Get(IntKey::Effect) == kDirectEffectValue;
             if (WindowInternals::SheetOn(win) || was_direct == is_direct) return;
             win.ErasePage(true);
             win.BuildDisplayPalette(true);
           });
  registry.Add(CM_AUTO_SCALE, ToggleBinding(IntKey::AutoScale, Redraw));
  registry.Add(CM_AUTO_FIT, ToggleBinding(IntKey::AutoFit, Redraw));
  registry.Add(CM_AUTO_CROP, ToggleBinding(IntKey::AutoCrop, [](TZentropeWin& win) {
                 if (win.Settings().Get(IntKey::AutoCrop) != 0) win.RefreshFrame(false);
               }));
  registry.Add(CM_AUTO_DITHER, ToggleBinding(IntKey::AutoDither, Repaint));
  registry.Add(CM_AUTO_COMMENTS, ToggleBinding(IntKey::AutoComments));
  registry.Add(CM_AUTO_SEARCH, ToggleBinding(IntKey::AutoSearch));
  registry.Add(CM_AUTO_RESUME, ToggleBinding(IntKey::AutoResume));
}
}  // namespace

void RegisterOptionsCommands(TCommandRegistry& registry) {
  registry.Add(CM_SAVE_OPTIONS, Run(SaveOptions, true));
  registry.Add(CM_RESTORE_OPTIONS, Run(RestoreOptions, true));
  registry.Add(CM_DEFAULT_OPTIONS, Run(DefaultOptions, true));
  registry.Add(CM_REMEMBER_OPTIONS, ToggleBinding(IntKey::RememberOptions));
  RegisterDisplayOptions(registry);
  RegisterFormatOptions(registry);
  RegisterViewOptions(registry);
  registry.Add(CM_STARTUP_PASSWORD, ToggleBinding(IntKey::StartupPassword));
  registry.Add(CM_SLIDESHOW_PASSWORD, ToggleBinding(IntKey::SlideshowPassword));
  registry.Add(CM_SET_PASSWORD, Run(SetPassword, true));
}
