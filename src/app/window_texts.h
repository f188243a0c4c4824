// The main window's own texts: captions and log lines, each spelled once.
#pragma once

inline constexpr const char* kViewerAppName = "Zentrope";
inline constexpr const char* kSaverAppName = "Screen Saver.Zentrope";
inline constexpr const char* kViewerWindowClass = "WindowsZentropeClass";
inline constexpr const char* kSaverWindowClass = "WindowsScreenSaverClass";
// What the log's start and stop lines name.
inline constexpr const char* kProgramName = "Zentrope";

inline constexpr const char* kStartedLog = "Started %s";
inline constexpr const char* kStoppedLog = "Stopped %s";
inline constexpr const char* kLoadedImageLog = "Loaded image %s in %ld milliseconds";
inline constexpr const char* kSortedPaletteLog = "Sorted palette in %ld milliseconds";

inline constexpr const char* kCaptionStart = "Zentrope -";
inline constexpr const char* kCaptionNoFiles =
    " Use File|Open... to select files, press F1 for help";
inline constexpr const char* kCaptionImage = " %s File: [%s] (%dx%dx%d-%s)";
inline constexpr const char* kCaptionSound = " Sound File: [%s]";
inline constexpr const char* kCaptionMovie = " Movie File: [%s]";
inline constexpr const char* kCaptionLoading = " Loading: [%s]";
inline constexpr const char* kCaptionColours = "colors";
inline constexpr const char* kCaptionBits = "bits";
inline constexpr const char* kCommentsCaption = "Zentrope - Comments [%s]";
inline constexpr const char* kLogCaption = "Zentrope - Log";
