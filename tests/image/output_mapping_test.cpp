#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "image/image.h"

namespace {

// A palette picture whose pixel (x, y) holds (x + 7 * y) & 0xFF, or a 24-bit
// one whose pixel holds x, y and x ^ y.
std::unique_ptr<TImage> Patterned(int width, int height, int bytes_per_pixel) {
  auto image = std::make_unique<TImage>();
  image->Create(width, height, 1, 1, bytes_per_pixel, 1, 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = image->Row(y) + x * bytes_per_pixel;
      if (bytes_per_pixel == 1) {
        p[0] = static_cast<std::uint8_t>(x + 7 * y);
      } else {
        p[0] = static_cast<std::uint8_t>(x);
        p[1] = static_cast<std::uint8_t>(y);
        p[2] = static_cast<std::uint8_t>(x ^ y);
      }
    }
  }
  return image;
}

TEST(SetOutputSize, WritersKeepTheViewProportions) {
  auto image = Patterned(400, 200, 1);
  image->SetOutputSize(100, 200, 1, 1, 0, true, true);  // OutputHeight 0: the view height
  ImageBounds bounds = image->GetOutputRect();
  EXPECT_EQ(bounds.right - bounds.left, 100);
  EXPECT_EQ(bounds.bottom - bounds.top, 50);
  EXPECT_EQ(bounds.top, 75);  // centred in the area

  // Transposed: the view as seen is 200 x 400.
  image->SetOutputSize(0, 0, 1, 1, kOrientTranspose, true, true);
  const ImageSize seen = image->GetViewSize();
  EXPECT_EQ(seen.width, 200);
  EXPECT_EQ(seen.height, 400);
  image->SetOutputSize(seen.width, seen.height, 1, 1, kOrientTranspose, true, true);
  EXPECT_EQ(image->outputRect.width, 200);
  EXPECT_EQ(image->outputRect.height, 400);
}

TEST(SetOutputSize, RaisesTinyAreasAndCutsHugeOnes) {
  auto image = Patterned(32, 32, 1);
  image->SetOutputSize(10, 10, 1, 1, 0, true, true);
  EXPECT_EQ(image->outputRect.width, 16);
  EXPECT_EQ(image->outputRect.height, 16);
  image->SetOutputSize(20000, 20000, 1, 1, 0, true, true);
  EXPECT_EQ(image->outputRect.width, 8192);
  EXPECT_EQ(image->columnMap[8191], 31);
  // A wide view in a small area still gets at least 16 rows.
  auto wide = Patterned(4000, 10, 1);
  wide->SetOutputSize(100, 100, 1, 1, 0, true, true);
  EXPECT_EQ(wide->outputRect.height, 16);
}

TEST(SetOutputSize, PrinterResolutionsStretchTheOtherAxis) {
  auto image = Patterned(100, 100, 1);
  image->SetOutputSize(1000, 1000, 300, 150, 0, true, true);
  EXPECT_EQ(image->outputRect.width, 1000);
  EXPECT_EQ(image->outputRect.height, 500);
}

TEST(SetOutputSize, DisplayAtZoomShrinksTheViewToTheWindow) {
  auto image = Patterned(400, 300, 1);
  image->zoomNum = 2;
  image->SetOutputSize(200, 1000, 96, 96, 0, false, false);
  EXPECT_EQ(image->viewRect.width, 100);
  EXPECT_EQ(image->viewRect.x, 150);  // centred on the old centre (200, 150)
  EXPECT_EQ(image->outputRect.width, 200);
  EXPECT_EQ(image->outputRect.height, 600);

  auto fitted = Patterned(400, 300, 1);
  fitted->SetOutputSize(200, 200, 96, 96, 0, false, true);
  EXPECT_EQ(fitted->zoomNum, 1);
  EXPECT_EQ(fitted->zoomDen, 2);
  EXPECT_EQ(fitted->outputRect.width, 200);
  EXPECT_EQ(fitted->outputRect.height, 150);
}

// The picture pixel that output (column, row) of an output the view's size shows.
void ExpectedSource(const TImage& image, int column, int row, int& x, int& y) {
  const int o = image.orientation;
  const int out_w = image.outputRect.width;
  const int out_h = image.outputRect.height;
  if (o & kOrientMirror) column = out_w - 1 - column;
  if (o & kOrientFlip) row = out_h - 1 - row;
  if (o & kOrientTranspose) {
    x = image.viewRect.x + row;
    y = image.viewRect.y + column;
  } else {
    x = image.viewRect.x + column;
    y = image.viewRect.y + row;
  }
}

TEST(GetOutputRow, EveryOrientationShowsTheRightPixels) {
  for (int bpp : {1, 3}) {
    auto image = Patterned(40, 24, bpp);
    image->viewRect = {3, 30, 2, 20};
    for (int o = 0; o < 8; ++o) {
      const ImageSize seen = (o & kOrientTranspose) ? ImageSize{20, 30} : ImageSize{30, 20};
      image->SetOutputSize(seen.width, seen.height, 1, 1, o, true, true);
      ASSERT_EQ(image->outputRect.width, seen.width);
      std::vector<std::uint8_t> row(seen.width * bpp);
      for (int r = 0; r < seen.height; ++r) {
        image->GetOutputRow(0, r, row.data(), seen.width);
        for (int c = 0; c < seen.width; ++c) {
          int x = 0, y = 0;
          ExpectedSource(*image, c, r, x, y);
          ASSERT_EQ(row[c * bpp], image->Row(y)[x * bpp]) << "orientation " << o << " bpp " << bpp;
          if (bpp == 3) {
            ASSERT_EQ(row[c * 3 + 2], image->Row(y)[x * 3 + 2]);
          }
        }
      }
    }
  }
}

TEST(GetOutputRow, OutsideTheOutputRectGivesZeroBytes) {
  auto image = Patterned(32, 16, 3);
  image->SetOutputSize(64, 64, 1, 1, 0, true, true);  // 64 x 32 centred at y 16
  ASSERT_EQ(image->outputRect.y, 16);
  std::vector<std::uint8_t> row(3 * 80, 0xEE);
  image->GetOutputRow(0, 15, row.data(), 64);
  for (int i = 0; i < 3 * 64; ++i) ASSERT_EQ(row[i], 0);
  EXPECT_EQ(row[3 * 64], 0xEE);  // nothing written past count
  std::fill(row.begin(), row.end(), 0xEE);
  image->GetOutputRow(-8, 16, row.data(), 80);  // 8 pixels left of the area, 8 right of it
  EXPECT_EQ(row[0], 0);
  EXPECT_EQ(row[3 * 7 + 2], 0);
  EXPECT_EQ(row[3 * 8], image->Row(0)[0]);
  EXPECT_EQ(row[3 * 72], 0);
  EXPECT_EQ(row[3 * 79 + 2], 0);
}

TEST(GetOutputRow, StaysInsideAPictureReplacedSinceTheLastSetOutputSize) {
  auto image = Patterned(500, 500, 1);
  image->SetOutputSize(500, 500, 1, 1, 0, true, true);
  image->Create(20, 20, 1, 1, 1, 1, 3);
  std::vector<std::uint8_t> row(500);
  image->GetOutputRow(0, 10, row.data(), 500);  // old maps must not reach past 20 x 20
  EXPECT_EQ(row[10], 3);
}

TEST(BorderColour, CountsEachBorderPixelOnceAndBreaksTiesLow) {
  auto image = std::make_unique<TImage>();
  image->Create(16, 16, 1, 1, 1, 1, 0);
  // Border of 60 pixels: left half index 7, right half index 3.
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) image->Row(y)[x] = x < 8 ? 7 : 3;
  }
  EXPECT_EQ(image->BorderColour(), 3);
  image->Row(5)[0] = 9;  // one fewer 7
  EXPECT_EQ(image->BorderColour(), 3);
  image->Row(5)[15] = 9;
  image->Row(6)[15] = 9;  // now 29 sevens against 28 threes
  EXPECT_EQ(image->BorderColour(), 7);
  auto colour = Patterned(16, 16, 3);
  EXPECT_EQ(colour->BorderColour(), 0);
}

TEST(ReduceFraction, DividesSmallPrimesAndHalvesLargeTerms) {
  int a = 2 * 3 * 5 * 7 * 11 * 13, b = 2 * 3 * 5 * 7 * 11 * 17;
  ReduceFraction(a, b);
  EXPECT_EQ(a, 13);
  EXPECT_EQ(b, 17);
  a = 65537 * 2 + 1;
  b = 3;
  ReduceFraction(a, b);
  // Halving down to 0 would lose the ratio: the largest one in range stays.
  EXPECT_EQ(a, 32767);
  EXPECT_EQ(b, 1);
  a = 3;
  b = 65537 * 2 + 1;
  ReduceFraction(a, b);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 32767);
  a = 40000;
  b = 20001;
  ReduceFraction(a, b);
  EXPECT_EQ(a, 20000);
  EXPECT_EQ(b, 10000);
}

TEST(ViewOperations, ZoomOnAnUnfittedDisplayOnlyCapsTheView) {
  auto image = Patterned(400, 400, 1);
  image->Zoom(1, false, false, 400, 400);
  EXPECT_EQ(image->viewRect.width, 200);  // capped: the window shows 200 at 2:1
  image->Zoom(-1, false, false, 400, 400);
  EXPECT_EQ(image->zoomNum, 1);
  EXPECT_EQ(image->zoomDen, 1);
  EXPECT_EQ(image->viewRect.width, 200);  // not grown back to the window's 400
  image->Zoom(1, false, false, 100, 100);
  EXPECT_EQ(image->viewRect.width, 50);
}

void ExpectViewInvariants(const TImage& image, const char* step) {
  const ImageRect& c = image.cropRect;
  const ImageRect& v = image.viewRect;
  ASSERT_GE(c.x, 0) << step;
  ASSERT_GE(c.y, 0) << step;
  ASSERT_LE(c.x + c.width, image.width) << step;
  ASSERT_LE(c.y + c.height, image.height) << step;
  ASSERT_GE(v.x, c.x) << step;
  ASSERT_GE(v.y, c.y) << step;
  ASSERT_LE(v.x + v.width, c.x + c.width) << step;
  ASSERT_LE(v.y + v.height, c.y + c.height) << step;
  ASSERT_GE(v.width, std::min(16, c.width)) << step;
  ASSERT_GE(v.height, std::min(16, c.height)) << step;
  ASSERT_EQ(image.viewCentre.x, v.x + v.width / 2) << step;
  ASSERT_EQ(image.viewCentre.y, v.y + v.height / 2) << step;
  ASSERT_GE(image.zoomNum, 1) << step;
  ASSERT_GE(image.zoomDen, 1) << step;
  ASSERT_LE(image.zoomNum, 32767) << step;
  ASSERT_LE(image.zoomDen, 32767) << step;
}

void ExpectOutputSizeInRange(const TImage& image) {
  const ImageRect& o = image.outputRect;
  ASSERT_TRUE(o.width >= 16 && o.width <= 8192 && o.height >= 16 && o.height <= 8192);
}

TEST(ViewOperations, RandomSequencesKeepTheInvariants) {
  std::mt19937 random(1234);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
  for (int round = 0; round < 40; ++round) {
    auto image = Patterned(pick(1, 600), pick(1, 600), pick(0, 1) ? 3 : 1);
    std::vector<std::uint8_t> row(3 * 8192);
    for (int step = 0; step < 150; ++step) {
      const int orientation = pick(0, 7);
      const bool scale = pick(0, 1), fit = pick(0, 1);
      const int ww = pick(1, 1200), wh = pick(1, 1200);
      const char* name = "";
      switch (pick(0, 8)) {
        case 0:
          name = "zoom";
          image->Zoom(pick(-1, 1), fit, scale, ww, wh);
          break;
        case 1:
          name = "pan";
          image->Pan(pick(-900, 900), pick(-900, 900));
          break;
        case 2:
          name = "crop";
          image->AutoCrop();
          break;
        case 3:
          name = "zoom to rect";
          image->ZoomToRect({pick(-50, 900), pick(-50, 900), pick(-50, 900), pick(-50, 900)}, fit,
                            scale, ww, wh);
          break;
        case 4:
          name = "centre";
          image->CentreAt(pick(-100, 1300), pick(-100, 1300));
          break;
        case 5:
          name = "view size";
          image->SetViewSize(pick(-5, 900), pick(-5, 900));
          break;
        case 6:
          name = "display";
          image->SetOutputSize(ww, wh, 96, 96, orientation, scale, fit);
          ExpectOutputSizeInRange(*image);
          break;
        case 7:
          name = "writer";
          image->SetOutputSize(pick(0, 9000), pick(0, 9000), 1, 1, orientation, true, true);
          ExpectOutputSizeInRange(*image);
          break;
        default:
          name = "reset";
          image->Zoom(0, fit, scale, ww, wh);
          break;
      }
      ExpectViewInvariants(*image, name);
      // Every output row must come from inside the picture (the sanitizers watch).
      const ImageBounds bounds = image->GetOutputRect();
      image->GetOutputRow(bounds.left, pick(bounds.top, bounds.bottom - 1), row.data(),
                          bounds.right - bounds.left);
    }
  }
}

TEST(ViewOperations, PanFollowsTheOrientation) {
  auto image = Patterned(200, 200, 1);
  image->viewRect = {50, 50, 50, 50};
  image->ClampView();
  image->orientation = kOrientMirror;
  image->Pan(10, 0);
  EXPECT_EQ(image->viewRect.x, 40);
  image->orientation = kOrientTranspose | kOrientFlip;
  image->Pan(3, 5);
  EXPECT_EQ(image->viewRect.x, 35);
  EXPECT_EQ(image->viewRect.y, 53);
}

TEST(ViewOperations, ZoomInOnAWindowFittedPictureHalvesTheView) {
  auto image = Patterned(400, 400, 1);
  image->Zoom(1, true, true, 400, 400);
  EXPECT_EQ(image->viewRect.width, 200);
  EXPECT_EQ(image->viewCentre.x, 200);
  image->Zoom(-1, true, true, 400, 400);
  EXPECT_EQ(image->viewRect.width, 400);
  image->Zoom(1, false, false, 400, 400);
  EXPECT_EQ(image->zoomNum, 2);
  EXPECT_EQ(image->viewRect.width, 200);
}

TEST(ViewOperations, ZoomToRectMapsThroughTheOutput) {
  auto image = Patterned(400, 400, 1);
  image->SetOutputSize(200, 200, 1, 1, kOrientMirror, true, true);  // half size, mirrored
  image->ZoomToRect({0, 0, 50, 100}, false, true, 200, 200);
  // Corners through the maps: output columns 0..49 come from 398 down to 300.
  EXPECT_EQ(image->viewRect.x, 300);
  EXPECT_EQ(image->viewRect.width, 99);
  EXPECT_EQ(image->viewRect.y, 0);
  EXPECT_EQ(image->viewRect.height, 199);
}

}  // namespace
