// The File menu's own handlers: open and convert through the open dialog,
// save as through the save dialog, close.
#pragma once

#include <string>

class TZentropeWin;

// The program's own dialog layouts, in dialog units.
inline constexpr int kFileDialogWidth = 360;
inline constexpr int kFileDialogHeight = 276;

// Opens files into a new list; with `convert_type` 1..6 converts each of them
// to that type as a slideshow shows it. 0 opens.
void OpenFiles(TZentropeWin& win, int convert_type);

// Closes the list: the window shows no file.
void CloseFiles(TZentropeWin& win);

// The name proposed for saving: the picture's folder and name (lower-cased
// when it has no lower-case letter) or "zentrp32" for a pasted or missing
// picture, with the extension of `save_type` (1..6).
std::string SaveAsProposal(const std::string& image_path, const std::string& image_name,
                           int save_type);

// Asks for a name and type (no dialog while a slideshow runs) and saves the
// picture, or the sheet as shown.
void SaveAs(TZentropeWin& win);
// Saves the picture (the sheet when thumbnails are on) to `path` with
// `save_type` and logs the outcome; a failure also shows the log.
bool SavePictureAs(TZentropeWin& win, const std::string& path, int save_type);
