// The Image menu's orientation and tone adjustments. They change settings,
// never the picture: GetOutputRow applies Rotate, TDither applies Brightness,
// Contrast and Invert, so every output shows the picture turned and toned.
#pragma once

#include "image/dither.h"

class TProfile;

// What the window has to do after an adjustment.
struct AdjustmentEffect {
  bool rebuild_palette = false;  // the tone tables changed
  bool redraw = false;
};

// The orientation after a clockwise quarter turn of `code` (0..7).
int QuarterTurn(int code);

AdjustmentEffect RotateClockwise(TProfile& settings);
AdjustmentEffect MirrorLeftRight(TProfile& settings);
AdjustmentEffect FlipTopBottom(TProfile& settings);
// Each steps its setting by one within 1..9, and does nothing at the limit.
AdjustmentEffect Brighter(TProfile& settings);
AdjustmentEffect Dimmer(TProfile& settings);
AdjustmentEffect MoreContrast(TProfile& settings);
AdjustmentEffect LessContrast(TProfile& settings);
AdjustmentEffect ToggleInvert(TProfile& settings);
// Tones back to 5, 5 and 0 (rebuild only when one differed) and Rotate to 0;
// the window then resets its zoom to the automatic fit and redraws.
AdjustmentEffect ResetAdjustments(TProfile& settings);

// The tone of Brightness, Contrast and Invert, for TDither::SetSource.
ToneSettings ToneFromSettings(const TProfile& settings, bool colour);
