// The printing texts: job titles, dialog captions and labels, log lines.
#pragma once

inline constexpr char kSheetJobTitle[] = "thumbnails";
inline constexpr char kAbortCaption[] = "Printing";

inline constexpr int kMarginsResource = 1105;
inline constexpr char kMarginsCaption[] = "Print Margins";
inline constexpr char kMarginsGroup[] = "&Margins (mm)";
inline constexpr char kTopMarginLabel[] = "&Top:";
inline constexpr char kLeftMarginLabel[] = "&Left:";
inline constexpr char kRightMarginLabel[] = "&Right:";
inline constexpr char kBottomMarginLabel[] = "&Bottom:";

inline constexpr char kPrintCaption[] = "Print";
inline constexpr char kPrintSetupCaption[] = "Print Setup";
inline constexpr char kPrinterLabel[] = "&Printer:";
inline constexpr char kPaperLabel[] = "Paper &size:";
inline constexpr char kOrientationLabel[] = "&Orientation:";
inline constexpr char kPortrait[] = "Portrait";
inline constexpr char kLandscape[] = "Landscape";
inline constexpr char kSelectionLabel[] = "S&election";
inline constexpr char kPagesLabel[] = "&Pages";
// The destination when CUPS offers no printer.
inline constexpr char kPdfFileDestination[] = "PDF file next to the picture";
inline constexpr char kOkLabel[] = "OK";
inline constexpr char kCancelLabel[] = "Cancel";

inline constexpr char kPrintedLog[] = "Printed %s on %s";
inline constexpr char kPrintedToFileLog[] = "Printed %s to %s";
inline constexpr char kPrintCancelledLog[] = "Printing of %s cancelled";
inline constexpr char kPrintFailedLog[] = "Error occurred while printing %s: %s";
inline constexpr char kPictureNotReadReason[] = "the picture could not be read";
inline constexpr char kPrintErrorCaption[] = "Error";
inline constexpr char kPrintErrorText[] = "Unable to print %s: %s";
