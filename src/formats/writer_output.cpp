#include "formats/writer_output.h"

#include "image/image.h"
#include "settings/profile.h"

void SetWriterOutputSize(TImage& image, const TProfile& settings) {
  const ImageSize view = image.GetViewSize();
  const int requested_width = settings.Get(IntKey::OutputWidth);
  const int requested_height = settings.Get(IntKey::OutputHeight);
  const int width = requested_width != 0 ? requested_width : view.width;
  const int height = requested_height != 0 ? requested_height : view.height;
  image.SetOutputSize(width, height, 1, 1, settings.Get(IntKey::Rotate), true, true);
}
