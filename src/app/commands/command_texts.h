// The texts of the shell's own commands: dialog captions, filter lists,
// prompts, messages and log lines, each spelled once.
#pragma once

inline constexpr const char* kOpenCaption = "Open";
inline constexpr const char* kConvertCaption = "Convert";
inline constexpr const char* kOpenHint =
    "(Select multiple files with Ctrl+click, range of files with Shift+click)";
// The file-type index 1..14 is the position in this list.
inline constexpr const char* kOpenFilters =
    "GIF Files|*.gif|"
    "Bitmap Files|*.bmp;*.dib;*.rle|"
    "Paintbrush Files|*.pcx|"
    "Targa Files|*.tga|"
    "JPEG Files|*.jpg|"
    "TIFF Files|*.tif|"
    "Image Files|*.gif;*.bmp;*.dib;*.rle;*.pcx;*.tga;*.jpg;*.tif;*.png;*.webp|"
    "Sound Files|*.mid;*.wav;*.mci|"
    "Movie Files|*.avi;*.mpg;*.mmm;*.mov;*.fli;*.flc|"
    "Slide Show Files|*.sli|"
    "Uuencoded Files|*.uue;*.uu1;*.01|"
    "ZIP Files|*.zip|"
    "Zentrope Files|*.gif;*.bmp;*.dib;*.rle;*.pcx;*.tga;*.jpg;*.tif;*.png;*.webp;*.mid;*.wav;*.mci;"
    "*.avi;*.mpg;"
    "*.mmm;*.mov;*.fli;*.flc;*.sli;*.uue;*.uu1;*.01;*.zip|"
    "All Files|*.*|";

inline constexpr const char* kSaveAsCaption = "Save As";
inline constexpr const char* kSaveAsHint = "(File extension determines type of file saved)";
inline constexpr const char* kSaveAsFilters =
    "GIF File (*.gif)|*.gif|Bitmap File (*.bmp)|*.bmp|Paintbrush File (*.pcx)|*.pcx|"
    "Targa File (*.tga)|*.tga|JPEG File (*.jpg)|*.jpg|TIFF File (*.tif)|*.tif|"
    "PNG File (*.png)|*.png|";
inline constexpr const char* kSavingCaption = " Saving: [%s]";
inline constexpr const char* kSavedAsLog = "Saved %s as %s";

inline constexpr const char* kErrorCaption = "Error";
inline constexpr const char* kClipboardBusyMessage = "Unable to open clipboard.";
inline constexpr const char* kNoMemoryMessage = "There isn't enough free memory to do this.";
inline constexpr const char* kClipboardImageName = "Clipboard";
inline constexpr const char* kPastedFormatName = "bmp";

inline constexpr const char* kFileSpecPrompt = "File Spec:";
inline constexpr const char* kDelayImagesPrompt = "Number of seconds to delay between images:";
inline constexpr const char* kDelaySoundsPrompt = "Number of seconds to delay between sounds:";
inline constexpr const char* kDelayMoviesPrompt = "Number of seconds to delay between movies:";
inline constexpr const char* kGifColorsPrompt = "Maximum number of colors in GIF file:";
inline constexpr const char* kJpegQualityPrompt = "Output Quality, 0-100 (75 is nominal):";
inline constexpr const char* kJpegSmoothingPrompt = "Output Smoothing, 0-100 (0 is none):";
inline constexpr const char* kOutputWidthPrompt = "Output width (0 is current image width):";
inline constexpr const char* kOutputHeightPrompt = "Output height (0 is current image height):";
inline constexpr const char* kEncodeLinesPrompt = "Maximum number of lines per uuencoded file:";
inline constexpr const char* kBackgroundColourCaption = "Background Color";
inline constexpr const char* kForegroundColourCaption = "Foreground Color";

inline constexpr const char* kAboutCaption = "About Zentrope";
