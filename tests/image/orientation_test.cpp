// Orientation codes compose like the turns they stand for: the menu's own
// quarter turn, mirror and flip are compositions, and a camera's tag values
// name the eight distinct codes.
#include "image/orientation.h"

#include <gtest/gtest.h>

#include <set>

#include "image/adjustments.h"
#include "image/image.h"

namespace {

TEST(Orientation, TheMenuTurnsAreCompositionsAfterTheCode) {
  for (int code = 0; code < 8; ++code) {
    SCOPED_TRACE(code);
    EXPECT_EQ(ComposeOrientations(code, 3), QuarterTurn(code));
    EXPECT_EQ(ComposeOrientations(code, kOrientMirror), code ^ kOrientMirror);
    EXPECT_EQ(ComposeOrientations(code, kOrientFlip), code ^ kOrientFlip);
    EXPECT_EQ(ComposeOrientations(code, 0), code);
    EXPECT_EQ(ComposeOrientations(0, code), code);
  }
}

TEST(Orientation, CompositionIsAssociativeAndEveryCodeCanBeUndone) {
  for (int a = 0; a < 8; ++a) {
    int inverses = 0;
    for (int b = 0; b < 8; ++b) {
      inverses += ComposeOrientations(a, b) == 0;
      for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(ComposeOrientations(ComposeOrientations(a, b), c),
                  ComposeOrientations(a, ComposeOrientations(b, c)));
      }
    }
    EXPECT_EQ(inverses, 1) << a;
  }
  // Two quarter turns the same way are a half turn; clockwise then back is nothing.
  EXPECT_EQ(ComposeOrientations(3, 3), 6);
  EXPECT_EQ(ComposeOrientations(3, 5), 0);
}

TEST(Orientation, TagValuesNameTheTurnsCamerasMean) {
  EXPECT_EQ(OrientationOfTag(1), 0);
  EXPECT_EQ(OrientationOfTag(3), 6) << "half turn";
  EXPECT_EQ(OrientationOfTag(6), QuarterTurn(0)) << "stored on its side: a clockwise turn";
  EXPECT_EQ(OrientationOfTag(8), ComposeOrientations(QuarterTurn(0), 6)) << "anticlockwise";
  std::set<int> codes;
  for (int value = 1; value <= 8; ++value) codes.insert(OrientationOfTag(value));
  EXPECT_EQ(codes.size(), 8u);
  for (int value : {-1, 0, 9, 65535}) EXPECT_EQ(OrientationOfTag(value), 0);
}

TEST(Orientation, TheViewSwapsItsSidesForAnUprightTurnAndANewPictureForgetsIt) {
  TImage image;
  image.Create(40, 20, 1, 1, 1, 1, 0);
  image.uprightOrientation = OrientationOfTag(6);
  image.SetOutputSize(1000, 1000, 1, 1, 0, false, true);
  EXPECT_EQ(image.GetViewSize().width, 20);
  EXPECT_EQ(image.GetViewSize().height, 40);
  image.SetOutputSize(1000, 1000, 1, 1, QuarterTurn(0), false, true);
  EXPECT_EQ(image.GetViewSize().width, 40) << "a further quarter turn lies it down again";

  image.Create(40, 20, 1, 1, 1, 1, 0);
  EXPECT_EQ(image.uprightOrientation, 0);
}

}  // namespace
