// The output size every writer starts from.
#pragma once

class TImage;
class TProfile;

// Sets the picture's output mapping for a writer: OutputWidth by OutputHeight,
// or the view size where either is 0, in the Rotate orientation, scaled to fit
// with the view's proportions. The written size is then the picture's
// outputRect width and height.
void SetWriterOutputSize(TImage& image, const TProfile& settings);
