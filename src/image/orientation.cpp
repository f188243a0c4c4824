#include "image/orientation.h"

#include <array>

#include "image/image.h"

namespace {

constexpr int kCodeCount = 8;
constexpr int kCodeMask = 7;

// Tag values 1..8 in order: none, mirror, half turn, flip, transpose,
// clockwise quarter turn, transverse, anticlockwise quarter turn.
constexpr std::array<int, kCodeCount> kCodeOfTag = {0, 2, 6, 4, 1, 3, 7, 5};

// Where an output point, centred, is taken from in the source: a signed
// permutation matrix, row major.
struct SourceMap {
  int xx, xy, yx, yy;
  bool operator==(const SourceMap&) const = default;
};

SourceMap MapOf(int code) {
  const int mirror = (code & kOrientMirror) ? -1 : 1;
  const int flip = (code & kOrientFlip) ? -1 : 1;
  if (code & kOrientTranspose) return {0, flip, mirror, 0};
  return {mirror, 0, 0, flip};
}

SourceMap Product(const SourceMap& a, const SourceMap& b) {
  return {a.xx * b.xx + a.xy * b.yx, a.xx * b.xy + a.xy * b.yy, a.yx * b.xx + a.yy * b.yx,
          a.yx * b.xy + a.yy * b.yy};
}

}  // namespace

int OrientationOfTag(int tag_value) {
  if (tag_value < 1 || tag_value > kCodeCount) return 0;
  return kCodeOfTag[tag_value - 1];
}

int ComposeOrientations(int first, int then) {
  // An output point goes through `then` into the turned picture, and from
  // there through `first` into the source.
  const SourceMap wanted = Product(MapOf(first & kCodeMask), MapOf(then & kCodeMask));
  for (int code = 0; code < kCodeCount; ++code) {
    if (MapOf(code) == wanted) return code;
  }
  return then & kCodeMask;
}
