#include "image/adjustments.h"

#include <algorithm>
#include <array>

#include "image/image.h"
#include "settings/profile.h"

namespace {

constexpr std::array<int, 8> kQuarterTurn = {3, 2, 7, 6, 1, 0, 5, 4};
constexpr int kOrientationMask = 7;

AdjustmentEffect StepTone(TProfile& settings, IntKey key, int step) {
  const int value = std::clamp(settings.Get(key), kMinTone, kMaxTone);
  const int next = value + step;
  if (next < kMinTone || next > kMaxTone) return {};
  settings.Set(key, next);
  return {true, true};
}

AdjustmentEffect ToggleOrientationBit(TProfile& settings, int bit) {
  settings.Set(IntKey::Rotate, (settings.Get(IntKey::Rotate) & kOrientationMask) ^ bit);
  return {false, true};
}

}  // namespace

int QuarterTurn(int code) {
  return kQuarterTurn[code & kOrientationMask];
}

AdjustmentEffect RotateClockwise(TProfile& settings) {
  settings.Set(IntKey::Rotate, QuarterTurn(settings.Get(IntKey::Rotate)));
  return {false, true};
}

AdjustmentEffect MirrorLeftRight(TProfile& settings) {
  return ToggleOrientationBit(settings, kOrientMirror);
}

AdjustmentEffect FlipTopBottom(TProfile& settings) {
  return ToggleOrientationBit(settings, kOrientFlip);
}

AdjustmentEffect Brighter(TProfile& settings) {
  return StepTone(settings, IntKey::Brightness, 1);
}
AdjustmentEffect Dimmer(TProfile& settings) {
  return StepTone(settings, IntKey::Brightness, -1);
}
AdjustmentEffect MoreContrast(TProfile& settings) {
  return StepTone(settings, IntKey::Contrast, 1);
}
AdjustmentEffect LessContrast(TProfile& settings) {
  return StepTone(settings, IntKey::Contrast, -1);
}

AdjustmentEffect ToggleInvert(TProfile& settings) {
  settings.Set(IntKey::Invert, (settings.Get(IntKey::Invert) & 1) ^ 1);
  return {true, true};
}

AdjustmentEffect ResetAdjustments(TProfile& settings) {
  AdjustmentEffect effect{false, true};
  if (settings.Get(IntKey::Brightness) != kNeutralTone ||
      settings.Get(IntKey::Contrast) != kNeutralTone || settings.Get(IntKey::Invert) != 0) {
    settings.Set(IntKey::Brightness, kNeutralTone);
    settings.Set(IntKey::Contrast, kNeutralTone);
    settings.Set(IntKey::Invert, 0);
    effect.rebuild_palette = true;
  }
  settings.Set(IntKey::Rotate, 0);
  return effect;
}

ToneSettings ToneFromSettings(const TProfile& settings, bool colour) {
  ToneSettings tone;
  tone.colour = colour;
  tone.brightness = std::clamp(settings.Get(IntKey::Brightness), kMinTone, kMaxTone);
  tone.contrast = std::clamp(settings.Get(IntKey::Contrast), kMinTone, kMaxTone);
  tone.invert = settings.Get(IntKey::Invert) != 0;
  return tone;
}
