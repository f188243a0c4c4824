// The Edit menu: the picture, its comments and the window through the
// clipboard. Each command holds the clipboard only while it needs it.
#include <memory>
#include <optional>
#include <string>

#include "app/command_ids.h"
#include "app/command_registry.h"
#include "app/commands/command_rules.h"
#include "app/commands/command_texts.h"
#include "app/commands/displayed_picture.h"
#include "app/commands/register_commands.h"
#include "app/commands/window_internals.h"
#include "app/main_window.h"
#include "image/image.h"
#include "platform/clipboard.h"
#include "platform/log_sink.h"
#include "platform/long_operation.h"
#include "platform/packed_dib.h"
#include "platform/tick_count.h"

namespace {
constexpr int kProgressPercent = 50;

void ShowError(TZentropeWin& win, const char* message) {
  MessageBox(win.Backend().Dialogs(), win.MainWindow().Id(), message, kErrorCaption,
             MessageBoxIcon::kExclamation);
}

// Opens the clipboard for the main window, emptied when asked; shows the
// error and returns null when it cannot be had.
Clipboard* OpenClipboard(TZentropeWin& win, bool empty) {
  Clipboard& clipboard = win.Backend().GetClipboard();
  if (!clipboard.Open(win.MainWindow().Id())) {
    ShowError(win, kClipboardBusyMessage);
    return nullptr;
  }
  if (empty && !clipboard.Empty()) {
    clipboard.Close();
    ShowError(win, kClipboardBusyMessage);
    return nullptr;
  }
  return &clipboard;
}

void CopyImage(TZentropeWin& win) {
  ShowProgress(kProgressPercent);
  if (Clipboard* clipboard = OpenClipboard(win, true)) {
    DisplayedPicture shown =
        MakeDisplayedPicture(win.Picture(), WindowInternals::Dither(win), win.Settings());
    const bool made = !shown.packed_dib.empty();
    if (made) {
      clipboard->SetPicture(
          ClipboardPicture{std::move(shown.packed_dib), std::move(shown.palette)});
    }
    clipboard->Close();
    win.BuildDisplayPalette(true);
    if (!made) ShowError(win, kNoMemoryMessage);
  }
  EndProgress();
}

// A new picture from the clipboard's bitmap; null when there is none or it
// cannot be used.
std::unique_ptr<TImage> PictureFromClipboard(Clipboard& clipboard) {
  std::optional<ClipboardPicture> offered = clipboard.GetPicture();
  if (!offered || offered->packed_dib.empty()) return nullptr;
  auto picture = std::make_unique<TImage>();
  if (!picture->AdoptBitmap(TDib::FromPacked(std::move(offered->packed_dib)))) return nullptr;
  return picture;
}

void PasteImage(TZentropeWin& win) {
  ShowProgress(kProgressPercent);
  Clipboard* clipboard = OpenClipboard(win, false);
  if (!clipboard) {
    EndProgress();
    return;
  }
  WindowInternals::DropPageBitmap(win);
  std::unique_ptr<TImage> pasted = PictureFromClipboard(*clipboard);
  clipboard->Close();
  if (!pasted) {
    EndProgress();
    ShowError(win, kNoMemoryMessage);
    return;
  }
  WindowInternals::PictureSlot(win) = std::move(pasted);
  TImage& picture = win.Picture();
  AddCommentChar(0);
  if (picture.GetBytesPerPixel() > 1) {
    picture.MakeRepresentativePalette();
  } else if (win.Settings().Get(IntKey::SortPalette) != 0) {
    SortPaletteByUse(picture);
  }
  WindowInternals::SetFormatName(win, kPastedFormatName);
  WindowInternals::Name(win, kImageName) = kClipboardImageName;
  win.BuildDisplayPalette(true);
  if (win.Settings().Get(IntKey::AutoComments) != 0 &&
      WindowInternals::CommentsEmpty(win) == WindowInternals::CommentsShown(win)) {
    win.Backend().EventLoop().PostCommand(win.MainWindow().Id(), CM_SHOW_COMMENTS);
  }
  WindowInternals::InvalidateComments(win);
  WindowInternals::SetLastImageTime(win, GetTickCount());
  win.UpdateCaption();
  EndProgress();
}

void CopyComments(TZentropeWin& win) {
  ShowProgress(kProgressPercent);
  if (Clipboard* clipboard = OpenClipboard(win, true)) {
    clipboard->SetText(GetCommentText());
    clipboard->Close();
  }
  WindowInternals::InvalidateComments(win);
  EndProgress();
}

void PasteComments(TZentropeWin& win) {
  ShowProgress(kProgressPercent);
  if (Clipboard* clipboard = OpenClipboard(win, false)) {
    const std::optional<std::string> text = clipboard->GetText();
    clipboard->Close();
    if (text) {
      AddCommentChar(0);
      for (const char c : *text) {
        if (c != '\0') AddCommentChar(static_cast<unsigned char>(c));
      }
    }
  }
  WindowInternals::InvalidateComments(win);
  EndProgress();
}

void CopyWindow(TZentropeWin& win) {
  ShowProgress(kProgressPercent);
  if (Clipboard* clipboard = OpenClipboard(win, true)) {
    const TSurface* page = WindowInternals::Page(win);
    TWindow& window = win.MainWindow();
    const TSurface& source = page ? *page : window.ScreenSurface();
    const TPalette* palette = win.DisplayPalette();
    std::vector<std::uint8_t> packed = CapturePackedDib(source, window.ClientRect(), palette);
    const bool made = !packed.empty();
    if (made) {
      clipboard->SetPicture(ClipboardPicture{
          std::move(packed), palette ? palette->Entries() : std::vector<PaletteColour>{}});
    }
    clipboard->Close();
    if (!made) ShowError(win, kNoMemoryMessage);
  }
  EndProgress();
}

bool ClipboardOffersPicture(const TZentropeWin& win) {
  return win.Backend().GetClipboard().HasPicture();
}

bool ClipboardOffersText(const TZentropeWin& win) {
  return ImageShown(win) && win.Backend().GetClipboard().HasText();
}

CommandBinding Binding(void (*run)(TZentropeWin&), bool (*enabled)(const TZentropeWin&) = nullptr) {
  CommandBinding binding;
  binding.run = run;
  if (enabled) binding.enabled = enabled;
  return binding;
}
}  // namespace

void RegisterEditCommands(TCommandRegistry& registry) {
  registry.Add(CM_COPY_IMAGE, Binding(CopyImage, ImageShown));
  registry.Add(CM_PASTE_IMAGE, Binding(PasteImage, ClipboardOffersPicture));
  registry.Add(CM_COPY_COMMENTS, Binding(CopyComments, ImageShown));
  registry.Add(CM_PASTE_COMMENTS, Binding(PasteComments, ClipboardOffersText));
  registry.Add(CM_COPY_WINDOW, Binding(CopyWindow));
}
