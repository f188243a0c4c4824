// The texts the format readers and writers log. Errors of the JPEG library and
// of the GIF and PCX writers share the JPEG error channel's line.
#pragma once

#include <string_view>

inline constexpr std::string_view kJpegErrorLine = "JPEG Error: %s";
inline constexpr std::string_view kJpegWarningLine = "JPEG Warning: %s";

inline constexpr std::string_view kOutputWriteError = "Output file write error";
inline constexpr std::string_view kGifConfusedError = "GIF output got confused";
inline constexpr std::string_view kGifTooManyColoursError = "GIF can only handle 256 colors";
inline constexpr std::string_view kPcxHeaderWriteError = "Error writing PCX header";
inline constexpr std::string_view kPcxColourMapWriteError = "Error writing PCX color map";

inline constexpr std::string_view kJpegQuantizeTooWide = "Can't quantize images wider than 2048.";
inline constexpr std::string_view kJpegTooManyScans = "Too many scans in progressive JPEG file";
inline constexpr std::string_view kJpegPrematureEof = "Premature EOF in JPEG file";
// libtiff's own messages, after the name of the routine that raised them.
inline constexpr std::string_view kTiffErrorLine = "%s: %s";
inline constexpr std::string_view kTiffWarningLine = "%s: Warning, %s";
