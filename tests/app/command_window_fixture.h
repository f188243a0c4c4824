// A main window on the headless backend for command tests: pictures written
// to a temporary folder, commands and keys injected as a user gives them,
// dialogs answered from a script, and the log and screen read back.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/text_window.h"
#include "headless_window_fixture.h"
#include "image/display_palette.h"
#include "image/image.h"
#include "image/picture_formats.h"
#include "platform/headless/headless_backend.h"
#include "platform/virtual_keys.h"
#include "support/temp_dir.h"

inline constexpr Modifiers kShiftKey{true, false, false};
inline constexpr Modifiers kCtrlKey{false, true, false};
inline constexpr Modifiers kAltKey{false, false, true};

class CommandWindowTest : public HeadlessWindowTest {
 protected:
  // A 1-byte picture of eight colours whose pixel (x, y) is colour (x + 3y) % 8.
  std::string WritePicture(const std::string& name, int width = 64, int height = 48,
                           int shade = 0) {
    TImage image;
    image.Create(width, height, 1, 1, 1, 1, 0);
    LogPalette palette;
    palette.count = 8;
    for (int i = 0; i < 8; ++i) {
      palette.entries[i] = PaletteEntry{static_cast<std::uint8_t>(i * 30 + shade),
                                        static_cast<std::uint8_t>(200 - i * 20),
                                        static_cast<std::uint8_t>(i * 17), 0};
    }
    image.SetPalette(palette);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) row[x] = static_cast<std::uint8_t>((x + 3 * y) % 8);
      image.PutRow(0, y, row.data(), nullptr, nullptr, width, -1);
    }
    TProfile settings;
    TDither dither;
    LogPalette stored;
    image.GetPalette(stored, nullptr);
    dither.SetSource(&stored, false, ToneSettings{});
    const std::string path = dir_.File(name);
    EXPECT_EQ(SaveImage(path, 0, image, settings, dither, nullptr), 0) << path;
    return path;
  }

  // Makes the window over these files and runs until nothing is left to do.
  void Start(std::vector<std::string> arguments, const std::function<void(TProfile&)>& tweak = {}) {
    StartWindow(std::move(arguments), [&](TProfile& settings) {
      SteadySettings(settings);
      settings.Set(IntKey::WImage, 500);
      settings.Set(IntKey::HImage, 500);
      settings.Set(IntKey::MImage, 0);
      settings.Set(IntKey::FillWindow, 0);  // the menu bar shown, so items can be chosen
      settings.Set(IntKey::AutoScale, 0);
      settings.Set(IntKey::AutoFit, 1);
      settings.Set(IntKey::AutoCrop, 0);
      settings.Set(IntKey::SortPalette, 0);
      settings.Set(IntKey::ShowLog, 0);
      settings.Set(IntKey::ShowComments, 0);
      settings.Set(IntKey::EnableLargeDialogs, 0);
      if (tweak) tweak(settings);
    });
  }

  // The command as the program posts it to itself.
  void Command(std::uint32_t id) {
    backend_->EventLoop().PostCommand(Id(), id);
    Run();
  }
  // The user opens the menus down to the item and chooses it; false when the
  // item is disabled.
  bool Choose(std::uint32_t id) {
    const bool chosen = backend_->ChooseMenuItem(Id(), id);
    Run();
    return chosen;
  }
  void Press(int virtual_key, Modifiers modifiers = {}, int character = 0) {
    backend_->PressKey(Id(), virtual_key, modifiers, character);
    Run();
  }
  void Type(int character) {
    backend_->TypeCharacter(Id(), character);
    Run();
  }

  void Answer(ScriptedAnswer answer) { backend_->ScriptedDialogs().Script(std::move(answer)); }
  const std::vector<DialogRecord>& Shown() { return backend_->ScriptedDialogs().Shown(); }
  std::size_t ScriptLeft() { return backend_->ScriptedDialogs().ScriptLeft(); }
  // The dialogs shown from now on.
  void ForgetDialogs() { backend_->ScriptedDialogs().ClearRecord(); }

  std::string LogText() { return window_->LogWindow() ? window_->LogWindow()->GetText() : ""; }
  bool LogHas(const std::string& text) { return LogText().find(text) != std::string::npos; }
  int Presents() { return backend_->PeerRecord(Id())->presents; }
  const std::string& ImageName() { return window_->Names()[kImageName]; }

  // Every pixel of the screen, for comparing whole screens.
  std::vector<ColorRef> ScreenPixels() {
    std::vector<ColorRef> pixels;
    for (int y = 0; y < Screen().Height(); ++y) {
      for (int x = 0; x < Screen().Width(); ++x) pixels.push_back(Screen().ColourAt(x, y));
    }
    return pixels;
  }
};
