// Save as: a name proposed from the picture, the save dialog (none while a
// slideshow runs), then the picture, or the sheet as shown, written in the
// chosen type.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/command_ids.h"
#include "app/commands/command_texts.h"
#include "app/commands/file_handlers.h"
#include "app/commands/window_internals.h"
#include "app/main_window.h"
#include "files/archive_folder.h"
#include "image/picture_formats.h"
#include "platform/dialogs.h"
#include "platform/log_sink.h"
#include "platform/long_operation.h"
#include "platform/packed_dib.h"
#include "platform/path.h"
#include "show/save_names.h"

namespace {
constexpr const char* kSaveExtensions[kSaveTypeCount] = {".gif", ".bmp", ".pcx", ".tga",
                                                         ".jpg", ".tif", ".png"};
constexpr const char* kUnnamedPicture = "zentrp32";

int ClampSaveType(int save_type) {
  return std::clamp(save_type, 1, kSaveTypeCount);
}

bool HasLowerCase(const std::string& text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return std::islower(static_cast<unsigned char>(c)) != 0; });
}

bool FileExists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(path, ignored);
}

std::vector<std::string> TypeExtensions() {
  return std::vector<std::string>(std::begin(kSaveExtensions), std::end(kSaveExtensions));
}

// The type and name the user picks; nothing when cancelled.
std::optional<std::string> AskSaveName(TZentropeWin& win, const std::string& proposal) {
  TProfile& settings = win.Settings();
  const PathParts parts = SplitPath(proposal);
  SaveFileRequest request;
  request.owner = win.MainWindow().Id();
  request.caption = kSaveAsCaption;
  request.filters = kSaveAsFilters;
  request.filter_index = ClampSaveType(settings.Get(IntKey::SaveAsIndex));
  request.initial_directory = parts.directory;
  request.initial_name = parts.name + parts.extension;
  request.overwrite_prompt = true;
  request.type_extensions = TypeExtensions();
  if (settings.Get(IntKey::EnableLargeDialogs) != 0) {
    request.layout = Size{kFileDialogWidth, kFileDialogHeight};
    request.hint = kSaveAsHint;
  }
  const SaveFileResult result = win.Backend().Dialogs().SaveFile(request);
  settings.Set(IntKey::SaveAsIndex, ClampSaveType(result.filter_index));
  const std::string directory = SplitPath(result.path).directory;
  if (result.ok && !directory.empty()) {
    std::error_code ignored;
    std::filesystem::current_path(directory, ignored);
  }
  if (result.did_not_fit || DialogDidNotFit()) {
    settings.Set(IntKey::EnableLargeDialogs, 0);
    settings.WriteInt(IntKey::EnableLargeDialogs);
  }
  SetDialogDidNotFit(false);
  if (!result.ok || result.path.empty()) return std::nullopt;
  return result.path;
}

// The client area as shown, as a picture of its own; null when it cannot be
// had.
std::unique_ptr<TImage> SheetPicture(TZentropeWin& win) {
  const TSurface* page = WindowInternals::Page(win);
  TWindow& window = win.MainWindow();
  const TSurface& source = page ? *page : window.ScreenSurface();
  std::vector<std::uint8_t> packed =
      CapturePackedDib(source, window.ClientRect(), win.DisplayPalette());
  if (packed.empty()) return nullptr;
  auto sheet = std::make_unique<TImage>();
  if (!sheet->AdoptBitmap(TDib::FromPacked(std::move(packed)))) return nullptr;
  return sheet;
}
}  // namespace

std::string SaveAsProposal(const std::string& image_path, const std::string& image_name,
                           int save_type) {
  const char* extension = kSaveExtensions[ClampSaveType(save_type) - 1];
  if (EqualsNoCase(image_name, kNoFile) || EqualsNoCase(image_name, kClipboardImageName)) {
    return std::string(kUnnamedPicture) + extension;
  }
  PathParts parts = SplitPath(PathBesideArchive(image_path));
  if (!HasLowerCase(parts.name)) parts.name = ToLower(parts.name);
  parts.extension = extension;
  return JoinPath(parts);
}

bool SavePictureAs(TZentropeWin& win, const std::string& path, int save_type) {
  TProfile& settings = win.Settings();
  std::unique_ptr<TImage>& picture = WindowInternals::PictureSlot(win);
  std::unique_ptr<TImage> shown;
  if (WindowInternals::SheetOn(win)) {
    if (std::unique_ptr<TImage> sheet = SheetPicture(win)) {
      shown = std::exchange(picture, std::move(sheet));
      win.BuildDisplayPalette(false);
    }
  }
  win.UpdateCaption(kSavingCaption, path);
  WindowInternals::SetLoading(win, true);
  const bool saved =
      SaveImage(path, save_type, *picture, settings, WindowInternals::Dither(win), nullptr) == 0;
  WindowInternals::SetLoading(win, false);
  win.UpdateCaption();
  if (shown) {
    picture = std::move(shown);
    win.BuildDisplayPalette(false);
  }
  EndProgress();
  win.Layout();

  const std::string& name = win.Names()[kImageName];
  if (!saved) {
    if (settings.Get(IntKey::ShowLog) == 0) WindowInternals::ToggleTextWindow(win, CM_SHOW_LOG);
    LogLine(kSaveFailedLog, name, path);
    return false;
  }
  LogLine(kSavedAsLog, name, path);
  return true;
}

void SaveAs(TZentropeWin& win) {
  TProfile& settings = win.Settings();
  const int save_type = ClampSaveType(settings.Get(IntKey::SaveAsIndex));
  std::string path = SaveAsProposal(win.Names()[kImagePath], win.Names()[kImageName], save_type);
  if (WindowInternals::SheetOn(win)) path = ThumbnailSaveName(path, FileExists);
  if (settings.Get(IntKey::RunSlideshow) == 0) {
    std::optional<std::string> chosen = AskSaveName(win, path);
    if (!chosen) return;
    path = std::move(*chosen);
  }
  ShowProgress(0);
  SavePictureAs(win, path, ClampSaveType(settings.Get(IntKey::SaveAsIndex)));
}
