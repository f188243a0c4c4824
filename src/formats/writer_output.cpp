#include "formats/writer_output.h"

#include "image/image.h"
#include "settings/profile.h"

void SetWriterOutputSize(TImage& image, const TProfile& settings) {
  // The view as the Rotate orientation will show it; GetViewSize would answer
  // for whatever orientation the last output used.
  const bool transposed =
      (image.ShownOrientation(settings.Get(IntKey::Rotate)) & kOrientTranspose) != 0;
  const ImageSize view = transposed ? ImageSize{image.viewRect.height, image.viewRect.width}
                                    : ImageSize{image.viewRect.width, image.viewRect.height};
  const int requested_width = settings.Get(IntKey::OutputWidth);
  const int requested_height = settings.Get(IntKey::OutputHeight);
  const int width = requested_width != 0 ? requested_width : view.width;
  const int height = requested_height != 0 ? requested_height : view.height;
  image.SetOutputSize(width, height, 1, 1, settings.Get(IntKey::Rotate), true, true);
}
