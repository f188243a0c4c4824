// The frames of an animated GIF as a compact list: where each image's
// descriptor sits in the file, its rectangle, delay, disposal and
// transparent index, and the NETSCAPE2.0 loop count. The pixels stay in the
// file until a frame is shown.
#pragma once

#include <cstdint>
#include <vector>

#include "image/palette.h"

struct InputStream;

// More images than this are not animated: the file is shown as one picture.
inline constexpr int kMaxGifFrames = 4096;
// A GIF signature is looked for in this many leading bytes, as the loader does.
inline constexpr int kGifSignatureWindow = 1029;

enum class GifDisposal : std::uint8_t { kNone, kBackground, kPrevious };

struct GifFrame {
  long descriptor_offset = 0;  // the byte after the 0x2C introducer
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int delay_centiseconds = 0;
  GifDisposal disposal = GifDisposal::kNone;
  int transparent = -1;  // -1 or 0..255
};

// The loop count of a file without a NETSCAPE2.0 block: it plays once.
inline constexpr int kGifPlayOnce = -1;

struct GifFrameList {
  int screen_width = 0;
  int screen_height = 0;
  int background = 0;
  LogPalette global;              // the grey ramp when the file has no global table
  int loop_count = kGifPlayOnce;  // 0: forever
  std::vector<GifFrame> frames;
};

// Scans a GIF whose signature is at the stream's position. Frames whose
// descriptor was read are listed even when their data is cut short; the scan
// ends there. False (with a "GIF Error: %s" line for a hostile file) when the
// file cannot be animated: a header cut short, a screen that is empty or
// wider or taller than `max_side`, or more than kMaxGifFrames images.
bool ScanGifFrames(InputStream* stream, GifFrameList& list, int max_side);

// Moves the stream to the first GIF signature within kGifSignatureWindow
// bytes. False when there is none.
bool SeekGifSignature(InputStream* stream);
