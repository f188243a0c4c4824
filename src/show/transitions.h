// Transition effects: a complete page is copied from the page bitmap to the
// screen in a pattern (wipes, blinds, checkerboard squares, a box, a random
// dissolve), paced to last about one second.
#pragma once

#include <functional>

#include "image/display_palette.h"
#include "platform/geometry.h"

class TDeviceContext;

// The values of the Effect setting after Direct (kDirectEffect, 1).
inline constexpr int kFastEffect = 2;
inline constexpr int kHorizontalEffect = 3;
inline constexpr int kVerticalEffect = 4;
inline constexpr int kHorizontalBlindsEffect = 5;
inline constexpr int kVerticalBlindsEffect = 6;
inline constexpr int kCheckInEffect = 7;
inline constexpr int kCheckOutEffect = 8;
inline constexpr int kBoxInEffect = 9;
inline constexpr int kBoxOutEffect = 10;
inline constexpr int kDissolveEffect = 11;
inline constexpr int kRandomEffect = 12;

// Milliseconds a paced transition is spread over.
inline constexpr int kTransitionMilliseconds = 1000;
inline constexpr int kBoxSteps = 50;
// The dissolve's grid fits two 16 KB index arrays.
inline constexpr int kMaxDissolveSide = 255;
inline constexpr int kMaxDissolveCells = 16384;

// The sizes a transition works with, from its frame F = (L, T, R, B).
struct TransitionGeometry {
  Rect frame;
  int width = 0;
  int height = 0;
  int band = 0;  // ((W + H) / 2) / 32, at least 16
  int step = 0;  // band / 8, at least 2
};
// `outer` is the picture's outer frame in client pixels; its right and
// bottom edges move out by one when they lie inside the client area.
TransitionGeometry MeasureTransition(const Rect& outer, Size client);

struct DissolveGrid {
  int cell = 0;
  int rows = 0;
  int columns = 0;
};
DissolveGrid MeasureDissolve(const TransitionGeometry& geometry);

// Where a transition draws: each copy goes from the page to the screen and
// is shown at once; Pace spreads the steps over the transition's time.
class TransitionCanvas {
 public:
  virtual ~TransitionCanvas() = default;
  virtual void Copy(const Rect& area) = 0;
  virtual void Pace(int total_steps) = 0;
};

// The effect to play: Random becomes one of Horizontal .. Dissolve from the
// process-wide generator, never Direct or Fast; others stay.
int ChooseTransitionEffect(int effect);

// Runs `effect` (1..12) over the frame. Random picks one of 3..11 from the
// process-wide generator; anything out of range copies the whole client.
void RunTransition(int effect, const TransitionGeometry& geometry, Size client,
                   TransitionCanvas& canvas);

// Waits until counter × 1000 / total milliseconds have passed since the
// start, then counts the step. Waits through the platform's tick count, so a
// virtual clock makes it instant.
class TTransitionPacer {
 public:
  TTransitionPacer();
  void Pace(int total_steps);

 private:
  unsigned start_;
  int counter_ = 0;
};

// Copies the frame from `page` to `screen` with the effect; `present` shows
// each copied rectangle at once (a synchronous repaint on a desktop).
void PlayTransition(int effect, TDeviceContext& screen, const TDeviceContext& page,
                    const Rect& outer, Size client,
                    const std::function<void(const Rect&)>& present);
