// An animated GIF played on the picture record. The file stays open and its
// frames are decoded one at a time onto the picture, which holds the
// composed screen in true colour (frames may each bring their own colour
// table); besides it only the area a "restore to previous" frame covers is
// kept. Time comes in as tick counts, so any clock can drive it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "formats/gif_frame_list.h"
#include "image/image_limits.h"

struct InputStream;
class GifInput;
class TGifLzwDecoder;
class TImage;
class TProfile;

class TGifAnimation {
 public:
  // Null when the file is not a GIF of at least two images or cannot be
  // animated (the reason is logged for a hostile file). `settings` may be null.
  static std::unique_ptr<TGifAnimation> Open(const std::string& path, const TProfile* settings);
  ~TGifAnimation();
  TGifAnimation(const TGifAnimation&) = delete;
  TGifAnimation& operator=(const TGifAnimation&) = delete;

  // Makes the picture the size of the logical screen and shows the first
  // frame; its delay counts from `now`.
  void Start(TImage& image, std::uint32_t now);
  // Shows the frame due at `now` once the current one's delay has passed;
  // true when the picture changed. After the last play it stays on the last
  // frame.
  bool Tick(TImage& image, std::uint32_t now);

  int FrameCount() const { return static_cast<int>(list_.frames.size()); }
  int CurrentFrame() const { return current_; }
  // Every frame has been shown for its delay at least once.
  bool FirstLoopDone() const { return plays_ > 0; }
  // All plays are over.
  bool Stopped() const { return stopped_; }
  // Milliseconds a frame is shown.
  int DelayOf(int frame) const;

 private:
  TGifAnimation(InputStream* stream, int reduction, PictureLimit limit);

  bool Due(std::uint32_t now) const;
  // The next frame, or the end of the play; true when the picture changed.
  bool Advance(TImage& image);
  void ShowFrame(TImage& image, int frame);
  void DecodeFrame(TImage& image, const GifFrame& frame);
  void Dispose(TImage& image, const GifFrame& frame);
  void FillScreenArea(TImage& image, const GifFrame& area);
  void SaveArea(const TImage& image, const GifFrame& area);
  void RestoreArea(TImage& image);

  InputStream* stream_;
  std::unique_ptr<GifInput> input_;
  std::unique_ptr<TGifLzwDecoder> decoder_;
  int reduction_;
  PictureLimit limit_;
  GifFrameList list_;
  int current_ = -1;
  int plays_ = 0;
  bool stopped_ = false;
  std::uint32_t due_ = 0;
  // The picture's bytes under the frame that restores to previous, row by
  // row over its clipped rectangle in picture pixels.
  std::vector<std::uint8_t> saved_;
  int saved_x_ = 0;
  int saved_y_ = 0;
  int saved_width_ = 0;
  int saved_height_ = 0;
};
