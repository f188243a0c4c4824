// The desktop wallpaper: where the bitmap goes, the [desktop] section of
// win.ini, and the desktop's own setting through its settings tool.
#pragma once

#include <string>
#include <string_view>

inline constexpr char kWallpaperPrompt[] = "Wallpaper file name:";
inline constexpr char kWallpaperProposal[] = "zentrp32.bmp";
// The answer takes at most this many characters.
inline constexpr int kWallpaperNameMaxChars = 260;

// The system folder plus the answer's name part (a typed folder or extension
// is ignored; "zentrp32" when it has no name) and ".bmp".
std::string WallpaperPath(std::string_view answer, const std::string& windows_directory);

// How the wallpaper reaches the desktop in use.
enum class WallpaperSetter { kGnome, kMate, kXfce, kKde, kFeh, kNone };

// From $XDG_CURRENT_DESKTOP (a colon-separated list), falling back to feh
// when the desktop's tool is missing or the desktop is not known.
WallpaperSetter ChooseWallpaperSetter(std::string_view current_desktop);

// file:// URI of an absolute path, with every byte outside the unreserved
// set percent-encoded.
std::string FileUri(std::string_view path);

// Writes TileWallpaper=0 and Wallpaper=<file name> into win.ini's [desktop]
// and sets the desktop's wallpaper to the file; each failure is logged.
// True when both were done.
bool ApplyWallpaper(const std::string& path, const std::string& windows_directory);
