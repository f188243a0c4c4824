#include "show/transitions.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/device_context.h"
#include "platform/random.h"
#include "platform/tick_count.h"

namespace {
constexpr int kMinimumBand = 16;
constexpr int kBandDivisor = 32;
constexpr int kStepsPerBand = 8;
constexpr int kMinimumStep = 2;
constexpr int kRandomChoices = 9;  // Horizontal .. Dissolve

Rect Area(int x, int y, int width, int height) {
  return Rect{x, y, x + width, y + height};
}

void CopyIfAny(TransitionCanvas& canvas, const Rect& area) {
  if (area.Width() > 0 && area.Height() > 0) canvas.Copy(area);
}

void PlayWipe(const TransitionGeometry& g, bool horizontal, TransitionCanvas& canvas) {
  const Rect& f = g.frame;
  const int extent = horizontal ? g.height : g.width;
  const int total = extent / g.step + 1;
  for (int offset = 0; offset < extent; offset += g.step) {
    canvas.Copy(horizontal ? Area(f.left, f.top + offset, g.width, g.step)
                           : Area(f.left + offset, f.top, g.step, g.height));
    canvas.Pace(total);
  }
}

void PlayBlinds(const TransitionGeometry& g, bool horizontal, TransitionCanvas& canvas) {
  const Rect& f = g.frame;
  const int extent = horizontal ? g.height : g.width;
  const int total = g.band / g.step + 1;
  for (int s = 0; s < g.band; s += g.step) {
    for (int blind = 0; blind < extent; blind += g.band) {
      canvas.Copy(horizontal ? Area(f.left, f.top + blind + s, g.width, g.step)
                             : Area(f.left + blind + s, f.top, g.step, g.height));
    }
    canvas.Pace(total);
  }
}

// Ring k of every square: the outline between half-sizes k·step and (k+1)·step.
void PlayCheckRing(const TransitionGeometry& g, int k, TransitionCanvas& canvas) {
  const Rect& f = g.frame;
  const int half = g.band / 2;
  const int t = k * g.step;
  const int u = (k + 1) * g.step;
  for (int cy = half; cy < g.height - half; cy += g.band) {
    for (int cx = half; cx < g.width - half; cx += g.band) {
      const int x = f.left + cx;
      const int y = f.top + cy;
      CopyIfAny(canvas, Area(x + t, y - u, g.step, 2 * u));
      CopyIfAny(canvas, Area(x - t, y + t, 2 * t, u - t));
      CopyIfAny(canvas, Area(x - u, y - u, u - t, 2 * u));
      CopyIfAny(canvas, Area(x - t, y - u, 2 * t, u - t));
    }
  }
}

// Unpaced; the closing copy fills the partial squares at the edges.
void PlayCheck(const TransitionGeometry& g, bool inward, TransitionCanvas& canvas) {
  const int rings = (g.band / g.step) / 2;
  if (inward) {
    for (int k = rings; k >= 0; --k) PlayCheckRing(g, k, canvas);
  } else {
    for (int k = 0; k < rings; ++k) PlayCheckRing(g, k, canvas);
  }
  canvas.Copy(Area(g.frame.left, g.frame.top, g.width, g.height));
}

void PlayBoxRing(const TransitionGeometry& g, int n, TransitionCanvas& canvas) {
  const int hw = g.width / 2 + 1;
  const int hh = g.height / 2 + 1;
  const int cx = g.frame.left + hw;
  const int cy = g.frame.top + hh;
  const int wi = n * hw / kBoxSteps;
  const int hi = n * hh / kBoxSteps;
  const int wo = (n + 1) * hw / kBoxSteps;
  const int ho = (n + 1) * hh / kBoxSteps;
  CopyIfAny(canvas, Area(cx + wi, cy - ho, wo - wi, 2 * ho));
  CopyIfAny(canvas, Area(cx - wi, cy + hi, 2 * wi, ho - hi));
  CopyIfAny(canvas, Area(cx - wo, cy - ho, wo - wi, 2 * ho));
  CopyIfAny(canvas, Area(cx - wi, cy - ho, 2 * wi, ho - hi));
}

void PlayBox(const TransitionGeometry& g, bool inward, TransitionCanvas& canvas) {
  for (int i = 0; i < kBoxSteps; ++i) {
    PlayBoxRing(g, inward ? kBoxSteps - 1 - i : i, canvas);
    canvas.Pace(kBoxSteps);
  }
}

void PlayDissolve(const TransitionGeometry& g, TransitionCanvas& canvas) {
  const DissolveGrid grid = MeasureDissolve(g);
  const int count = grid.rows * grid.columns;
  std::vector<std::uint8_t> rows(static_cast<std::size_t>(count));
  std::vector<std::uint8_t> columns(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    rows[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i / grid.columns);
    columns[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i % grid.columns);
  }
  for (int i = 0; i < count; ++i) {
    const std::size_t j = NextRandom() % static_cast<std::uint32_t>(count);
    std::swap(rows[static_cast<std::size_t>(i)], rows[j]);
    std::swap(columns[static_cast<std::size_t>(i)], columns[j]);
  }
  for (int group = 0; group < grid.rows; ++group) {
    for (int i = group * grid.columns; i < (group + 1) * grid.columns; ++i) {
      canvas.Copy(Area(g.frame.left + columns[static_cast<std::size_t>(i)] * grid.cell,
                       g.frame.top + rows[static_cast<std::size_t>(i)] * grid.cell, grid.cell,
                       grid.cell));
    }
    canvas.Pace(grid.rows);
  }
}

int CeilDiv(int a, int b) {
  return (a + b - 1) / b;
}

class TScreenCanvas : public TransitionCanvas {
 public:
  TScreenCanvas(TDeviceContext& screen, const TDeviceContext& page,
                const std::function<void(const Rect&)>& present)
      : screen_(screen), page_(page), present_(present) {}
  void Copy(const Rect& area) override {
    screen_.BitBlt(area.left, area.top, area.Width(), area.Height(), page_, area.left, area.top);
    if (present_) present_(area);
  }
  void Pace(int total_steps) override { pacer_.Pace(total_steps); }

 private:
  TDeviceContext& screen_;
  const TDeviceContext& page_;
  const std::function<void(const Rect&)>& present_;
  TTransitionPacer pacer_;
};
}  // namespace

TransitionGeometry MeasureTransition(const Rect& outer, Size client) {
  TransitionGeometry g;
  g.frame = outer;
  if (g.frame.right < client.width) ++g.frame.right;
  if (g.frame.bottom < client.height) ++g.frame.bottom;
  g.width = std::max(0, g.frame.Width());
  g.height = std::max(0, g.frame.Height());
  g.band = std::max(kMinimumBand, (g.width + g.height) / 2 / kBandDivisor);
  g.step = std::max(kMinimumStep, g.band / kStepsPerBand);
  return g;
}

DissolveGrid MeasureDissolve(const TransitionGeometry& geometry) {
  DissolveGrid grid;
  grid.cell = geometry.band / 4;
  grid.rows = geometry.height / grid.cell + 1;
  grid.columns = geometry.width / grid.cell + 1;
  while (grid.rows > kMaxDissolveSide || grid.columns > kMaxDissolveSide ||
         std::int64_t{grid.rows} * grid.columns > kMaxDissolveCells) {
    // A side never halves to nothing: a frame far wider than high would
    // otherwise leave no row to cover its height.
    grid.rows = std::max(1, grid.rows / 2);
    grid.columns = std::max(1, grid.columns / 2);
    grid.cell *= 2;
  }
  // The smallest cell from here on that covers the whole frame.
  grid.cell = std::max(
      {grid.cell, CeilDiv(geometry.height, grid.rows), CeilDiv(geometry.width, grid.columns)});
  return grid;
}

int ChooseTransitionEffect(int effect) {
  if (effect != kRandomEffect) return effect;
  return kHorizontalEffect + static_cast<int>(NextRandom() % kRandomChoices);
}

void RunTransition(int effect, const TransitionGeometry& geometry, Size client,
                   TransitionCanvas& canvas) {
  effect = ChooseTransitionEffect(effect);
  const bool empty = geometry.width <= 0 || geometry.height <= 0;
  switch (empty ? kDirectEffect : effect) {
    case kHorizontalEffect:
    case kVerticalEffect:
      PlayWipe(geometry, effect == kHorizontalEffect, canvas);
      return;
    case kHorizontalBlindsEffect:
    case kVerticalBlindsEffect:
      PlayBlinds(geometry, effect == kHorizontalBlindsEffect, canvas);
      return;
    case kCheckInEffect:
    case kCheckOutEffect:
      PlayCheck(geometry, effect == kCheckInEffect, canvas);
      return;
    case kBoxInEffect:
    case kBoxOutEffect:
      PlayBox(geometry, effect == kBoxInEffect, canvas);
      return;
    case kDissolveEffect:
      PlayDissolve(geometry, canvas);
      return;
    default:
      CopyIfAny(canvas, Rect{0, 0, client.width, client.height});
      return;
  }
}

TTransitionPacer::TTransitionPacer() : start_(GetTickCount()) {}

void TTransitionPacer::Pace(int total_steps) {
  const int total = total_steps <= 0 ? 1 : total_steps;
  const int counter = std::clamp(counter_, 0, total);
  WaitForTickCount(start_ +
                   static_cast<unsigned>(std::int64_t{counter} * kTransitionMilliseconds / total));
  ++counter_;
}

void PlayTransition(int effect, TDeviceContext& screen, const TDeviceContext& page,
                    const Rect& outer, Size client,
                    const std::function<void(const Rect&)>& present) {
  TScreenCanvas canvas(screen, page, present);
  RunTransition(effect, MeasureTransition(outer, client), client, canvas);
}
