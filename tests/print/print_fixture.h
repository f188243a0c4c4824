// A window stand-in for printing tests, pictures made in code, and the page
// read back from a PDF through pdftoppm.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "image/dither.h"
#include "image/image.h"
#include "platform/backend.h"
#include "platform/display.h"
#include "platform/headless/headless_dialogs.h"
#include "print/print_host.h"
#include "settings/profile.h"
#include "support/temp_dir.h"

class FakePrintHost : public PrintHost {
 public:
  TProfile& Settings() override { return settings; }
  TImage& Picture() override { return *picture; }
  TDither& Dither() override { return dither; }
  bool Loading() const override { return false; }
  DialogService& Dialogs() override { return dialogs; }
  WindowId Owner() const override { return owner; }
  std::string PicturePath() const override { return path; }
  std::string PictureName() const override { return name; }
  void RunWaitingMessages() override {}
  void SetPrinting(bool on) override { printing = on; }
  std::unique_ptr<TImage> CaptureSheet() override {
    printing_while_captured = printing;
    return std::move(sheet);
  }
  std::unique_ptr<TImage> ExchangePicture(std::unique_ptr<TImage> next) override {
    std::swap(picture, next);
    return next;
  }
  void PrintingDone() override { ++done; }
  // Over `owner` on `backend` when the test gives one; `opened` runs once it shows.
  std::unique_ptr<ModelessDialog> OpenModelessDialog(const DialogTemplate& dialog) override {
    if (!backend) return nullptr;
    std::unique_ptr<ModelessDialog> shown = backend->OpenModelessDialog(dialog, owner);
    if (opened) opened();
    return shown;
  }

  TProfile settings;
  TDither dither;
  std::unique_ptr<TImage> picture;
  std::unique_ptr<TImage> sheet;
  TDisplay display;
  THeadlessDialogs dialogs{display};
  std::string path;
  std::string name;
  PlatformBackend* backend = nullptr;
  WindowId owner = kNoWindow;
  std::function<void()> opened;
  bool printing = false;
  bool printing_while_captured = false;
  int done = 0;
};

// A palette picture with no white in it, so the printed picture is
// everything on the page that is not paper.
std::unique_ptr<TImage> MakePalettePicture(int width, int height);
// Its eight colours as 0xRRGGBB.
std::set<std::uint32_t> PalettePictureColours();
// A 24-bit picture of smooth ramps, for dithering.
std::unique_ptr<TImage> MakeRampPicture(int width, int height);

struct Raster {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
  std::uint32_t At(int x, int y) const;
};

// The first page of `pdf` at `dpi` through pdftoppm, without anti-aliasing.
// Empty on failure.
Raster RasterizePdf(const std::string& pdf, int dpi, const TempDir& scratch);
// The same through Ghostscript, which keeps image pixels as they are where
// pdftoppm smooths images enlarged less than four times.
Raster RasterizePdfExactly(const std::string& pdf, int dpi, const TempDir& scratch);
// Everything that is not white; empty when the page is blank.
struct Box {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
};
Box InkBox(const Raster& raster);
// Everything in one of the `colours`, give or take a step or two.
Box BoxOf(const Raster& raster, const std::set<std::uint32_t>& colours);
// A line of `pdfinfo` for the file, e.g. "Title"; empty when absent.
std::string PdfInfo(const std::string& pdf, const std::string& field);
