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

// The program's own refusals of files a reader recognised: one line each, the
// reason after the format's name.
inline constexpr std::string_view kBmpRefusedLine = "BMP Error: %s";
inline constexpr std::string_view kGifRefusedLine = "GIF Error: %s";
inline constexpr std::string_view kPcxRefusedLine = "PCX Error: %s";
inline constexpr std::string_view kTgaRefusedLine = "TGA Error: %s";
inline constexpr std::string_view kTiffRefusedLine = "TIFF Error: %s";
// libpng's and libwebp's complaints, and our own, after the format's name.
inline constexpr std::string_view kPngErrorLine = "PNG Error: %s";
inline constexpr std::string_view kWebpErrorLine = "WebP Error: %s";

inline constexpr std::string_view kHeaderCutShort = "The file ends inside its header";
inline constexpr std::string_view kColourTableCutShort = "The file ends inside its colour table";
inline constexpr std::string_view kSizeNotRead = "%d x %d pixels is not a size this program reads";
inline constexpr std::string_view kBitsPerPixelNotRead = "%d bits per pixel are not read";
inline constexpr std::string_view kBmpHeaderSizeNotRead = "A header of %d bytes is not read";
inline constexpr std::string_view kBmpTopDownRunLength = "Run-length codes need bottom-up rows";
inline constexpr std::string_view kBmpCompressionNotRead =
    "Compression %d is not read at %d bits per pixel";
inline constexpr std::string_view kBmpMasksNotUsable =
    "The bit-field masks (%s) are not separate, non-empty runs of bits inside the pixel";
inline constexpr std::string_view kGifScreenTooLarge =
    "A screen of %d x %d pixels is larger than 8192";
inline constexpr std::string_view kGifTooManyFrames =
    "More than %d images are not animated; the file is shown as one picture";
inline constexpr std::string_view kPcxBitsPerPlaneNotRead = "%d bits per plane are not read";
inline constexpr std::string_view kTgaImageTypeNotRead = "Image type %d is not read";
inline constexpr std::string_view kTgaColourMapNotRead =
    "The colour map is not one this program reads";
inline constexpr std::string_view kTiffNoPhotometric = "The file has no PhotometricInterpretation";
inline constexpr std::string_view kTiffBitsPerSampleNotRead = "%d bits per sample are not read";
inline constexpr std::string_view kTiffDecodeTooLarge =
    "%d x %d pixels of this kind need more decoding than this program allows";
inline constexpr std::string_view kFileEndsEarly = "The file ends before its picture data";
inline constexpr std::string_view kPictureDataEndsEarly = "The picture data ends early";
inline constexpr std::string_view kPngInterlaceTooLarge =
    "%d x %d interlaced pixels need more memory than this program allows";
inline constexpr std::string_view kWebpFileTooLarge = "A file of more than %d MiB is not read";
inline constexpr std::string_view kWebpHeaderNotRead = "The header is not one this program reads";
inline constexpr std::string_view kWebpNotDecoded = "The picture data cannot be decoded (%s)";
