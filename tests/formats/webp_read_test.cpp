// WebP files load like libwebp's own dwebp decodes them: lossy, lossless,
// with alpha over the background, the first frame of an animation, reduced;
// damaged files keep what could be decoded and say why.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "formats/webp.h"
#include "jpeg_tiff_support.h"

namespace {

using format_test::Bytes;
using format_test::PictureRgb;
using format_test::Rgb;
using format_test::WhileCancelling;
using jpeg_tiff_test::MaxDifference;
using jpeg_tiff_test::PeerRgb;
using jpeg_tiff_test::TCapture;

constexpr int kBackground[3] = {10, 200, 30};

// dwebp's PAM output (red, green, blue, alpha) composed over the background.
Rgb ComposedPam(const Bytes& file) {
  static constexpr std::string_view kEnd = "ENDHDR\n";
  const std::string text(file.begin(), file.end());
  const std::size_t end = text.find(kEnd);
  Rgb rgb;
  if (end == std::string::npos ||
      std::sscanf(text.c_str(), "P7\nWIDTH %d\nHEIGHT %d", &rgb.width, &rgb.height) != 2) {
    return {};
  }
  const std::size_t count = std::size_t(rgb.width) * rgb.height;
  if (file.size() < end + kEnd.size() + 4 * count) return {};
  const std::uint8_t* pixel = file.data() + end + kEnd.size();
  for (std::size_t i = 0; i < count; ++i, pixel += 4) {
    for (int c = 0; c < 3; ++c) {
      const int mixed = (pixel[c] * pixel[3] + kBackground[c] * (255 - pixel[3]) + 127) / 255;
      rgb.pixels.push_back(static_cast<std::uint8_t>(mixed));
    }
  }
  return rgb;
}

class ReadWebpTest : public format_test::FormatTest {
 protected:
  void SetUp() override {
    FormatTest::SetUp();
    settings_->Set(IntKey::BackgroundRed, kBackground[0]);
    settings_->Set(IntKey::BackgroundGreen, kBackground[1]);
    settings_->Set(IntKey::BackgroundBlue, kBackground[2]);
  }

  // A file made by `command` (with IN and OUT for the source and the result).
  std::string Make(const std::string& name, const std::string& command) {
    const std::string path = files_.File(name);
    std::string line = command;
    line.replace(line.find("OUT"), 3, ShellQuote(path));
    EXPECT_EQ(RunCommand(line + " 2>/dev/null"), 0) << line;
    return path;
  }

  LoadImageResult LoadBytes(const Bytes& bytes) {
    const std::string path = files_.File("in.webp");
    EXPECT_TRUE(WriteFileBytes(path, bytes));
    return LoadImageWithStatus(path, *image_, settings_.get());
  }

  Rgb Dwebp(const std::string& path, const std::string& options = "-ppm") {
    return PeerRgb("dwebp -quiet " + options + " " + ShellQuote(path) + " -o -",
                   files_.File("peer.pnm"));
  }

  // A 131 x 77 plasma with an alpha ramp, as PNG for cwebp.
  std::string Source() {
    return Make("source.png",
                "convert -size 131x77 -seed 4 plasma:fractal -alpha set -channel A -fx 'i/w' "
                "+channel PNG32:OUT");
  }

  std::unique_ptr<TImage> image_ = std::make_unique<TImage>();
};

TEST_F(ReadWebpTest, CwebpFilesDecodeLikeDwebp) {
  REQUIRE_PEER_TOOL("cwebp");
  REQUIRE_PEER_TOOL("dwebp");
  REQUIRE_PEER_TOOL("convert");
  const std::string source = Source();
  const std::string opaque =
      Make("opaque.png", "convert " + ShellQuote(source) + " -alpha off OUT");
  const std::string variants[][2] = {
      {"lossy.webp", "cwebp -q 70 " + ShellQuote(opaque) + " -o OUT"},
      {"lossless.webp", "cwebp -lossless " + ShellQuote(opaque) + " -o OUT"},
      {"lossy_alpha.webp", "cwebp -q 70 -alpha_q 100 -exact " + ShellQuote(source) + " -o OUT"},
      {"lossless_alpha.webp", "cwebp -lossless -exact " + ShellQuote(source) + " -o OUT"},
  };
  for (const auto& [name, command] : variants) {
    SCOPED_TRACE(name);
    const std::string path = Make(name, command);
    ASSERT_EQ(LoadImage(path, *image_, settings_.get()), "webp");
    const std::string pam = files_.File("peer.pam");
    ASSERT_EQ(RunCommand("dwebp -quiet -pam " + ShellQuote(path) + " -o " + ShellQuote(pam)), 0);
    EXPECT_EQ(MaxDifference(PictureRgb(*image_), ComposedPam(ReadFileBytes(pam))), 0);
  }
}

// The fixtures seed the fuzz target, so they must stay whole, readable files.
TEST_F(ReadWebpTest, EveryFixtureLoadsWithoutComplaint) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(ZENTROPE_TEST_DATA "/webp")) {
    SCOPED_TRACE(entry.path().string());
    TCapture capture;
    const LoadImageResult result = LoadImageWithStatus(entry.path(), *image_, settings_.get());
    EXPECT_EQ(result.format, "webp");
    EXPECT_EQ(result.status, LoadStatus::kLoaded);
    EXPECT_TRUE(capture.lines.empty());
    ++count;
  }
  EXPECT_GE(count, 6);
}

TEST_F(ReadWebpTest, AnAnimationShowsItsFirstFrameOnTheBackground) {
  REQUIRE_PEER_TOOL("gif2webp");
  REQUIRE_PEER_TOOL("convert");
  const std::string gif = Make("anim.gif",
                               "convert -size 20x10 xc:red -set page 40x30+6+8 "
                               "\\( -size 40x30 xc:blue -set page 40x30+0+0 \\) -loop 0 OUT");
  const std::string path = Make("anim.webp", "gif2webp -quiet " + ShellQuote(gif) + " -o OUT");
  ASSERT_EQ(LoadImage(path, *image_, settings_.get()), "webp");
  ASSERT_EQ(image_->width, 40);
  ASSERT_EQ(image_->height, 30);
  const Bytes rgb = PictureRgb(*image_).pixels;
  auto at = [&](int x, int y) {
    const std::size_t i = 3 * (std::size_t(y) * 40 + x);
    return Bytes{rgb[i], rgb[i + 1], rgb[i + 2]};
  };
  EXPECT_EQ(at(0, 0), (Bytes{10, 200, 30}));
  EXPECT_EQ(at(6, 8), (Bytes{255, 0, 0}));
  EXPECT_EQ(at(25, 17), (Bytes{255, 0, 0}));
  EXPECT_EQ(at(26, 17), (Bytes{10, 200, 30}));
  EXPECT_EQ(at(39, 29), (Bytes{10, 200, 30}));
}

TEST_F(ReadWebpTest, QuickLookDecodesAtAnEighthLikeDwebpScales) {
  REQUIRE_PEER_TOOL("cwebp");
  REQUIRE_PEER_TOOL("dwebp");
  const std::string source = Make("big.png", "convert -size 160x96 -seed 2 plasma:fractal OUT");
  const std::string path = Make("big.webp", "cwebp -q 80 " + ShellQuote(source) + " -o OUT");
  settings_->Set(IntKey::QuickLook, 1);
  ASSERT_EQ(LoadImage(path, *image_, settings_.get()), "webp");
  EXPECT_EQ(MaxDifference(PictureRgb(*image_), Dwebp(path, "-ppm -scale 20 12")), 0);
}

TEST_F(ReadWebpTest, DamagedFilesKeepWhatDecodedAndSayWhy) {
  REQUIRE_PEER_TOOL("cwebp");
  REQUIRE_PEER_TOOL("dwebp");
  const std::string source = Make("photo.png", "convert -size 300x200 -seed 9 plasma:fractal OUT");
  const std::string path = Make("photo.webp", "cwebp -q 90 " + ShellQuote(source) + " -o OUT");
  const Rgb whole = Dwebp(path);
  const Bytes file = ReadFileBytes(path);
  {
    TCapture capture;
    EXPECT_EQ(LoadBytes(Bytes(file.begin(), file.begin() + file.size() * 2 / 3)).status,
              LoadStatus::kLoaded);
    EXPECT_EQ(capture.Count("WebP Error: The file ends before its picture data"), 1);
    const Bytes rgb = PictureRgb(*image_).pixels;
    EXPECT_TRUE(std::equal(rgb.begin(), rgb.begin() + 300 * 3, whole.pixels.begin()));
  }
  {
    TCapture capture;
    EXPECT_EQ(LoadBytes(Bytes(file.begin(), file.begin() + 20)).status, LoadStatus::kRefused);
    EXPECT_EQ(image_->width, 64);
    EXPECT_EQ(capture.Count("WebP Error: The file ends inside its header"), 1);
  }
  {
    Bytes broken = file;
    broken[23] ^= 0xFF;  // the key frame's start code
    TCapture capture;
    EXPECT_EQ(LoadBytes(broken).status, LoadStatus::kRefused);
    EXPECT_EQ(capture.Count("WebP Error: The header is not one this program reads"), 1);
  }
  {
    // Lossy data decodes to something whatever it holds; lossless codes do not.
    const std::string lossless =
        Make("lossless.webp", "cwebp -lossless " + ShellQuote(source) + " -o OUT");
    Bytes broken = ReadFileBytes(lossless);
    for (std::size_t i = 40; i < broken.size(); i += 7) broken[i] ^= 0x5A;
    TCapture capture;
    EXPECT_EQ(LoadBytes(broken).status, LoadStatus::kLoaded);
    EXPECT_EQ(capture.Count("WebP Error: The picture data cannot be decoded (bitstream error)"), 1);
  }
}

// A lossless header claiming 16383 x 16383 pixels and nothing after it.
TEST_F(ReadWebpTest, TheLargestSizeWithoutDataIsReducedNotOverrun) {
  const std::uint32_t bits = 16382u | (16382u << 14);
  Bytes file = {'R', 'I', 'F', 'F', 25,  0, 0, 0, 'W', 'E', 'B',
                'P', 'V', 'P', '8', 'L', 5, 0, 0, 0,   0x2F};
  for (int i = 0; i < 4; ++i) file.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
  file.push_back(0);
  TCapture capture;
  EXPECT_NE(LoadBytes(file).status, LoadStatus::kCancelled);
  EXPECT_LE(image_->width * 3, kMaxRowBytes);
  EXPECT_EQ(capture.lines.size(), 1u);
}

TEST_F(ReadWebpTest, ACancelStopsTheDecode) {
  REQUIRE_PEER_TOOL("cwebp");
  const std::string source = Make("photo.png", "convert -size 300x200 -seed 9 plasma:fractal OUT");
  const std::string path = Make("photo.webp", "cwebp -q 90 " + ShellQuote(source) + " -o OUT");
  EXPECT_EQ(
      WhileCancelling([&] { return LoadImageWithStatus(path, *image_, settings_.get()); }).status,
      LoadStatus::kCancelled);
}

TEST_F(ReadWebpTest, AWebpInsideAZipOpens) {
  REQUIRE_PEER_TOOL("cwebp");
  REQUIRE_PEER_TOOL("zip");
  const std::string source = Make("small.png", "convert -size 30x20 -seed 1 plasma:fractal OUT");
  const std::string path = Make("small.webp", "cwebp -lossless " + ShellQuote(source) + " -o OUT");
  ASSERT_EQ(RunCommand("cd " + ShellQuote(files_.path()) + " && zip -q pack.zip small.webp"), 0);
  ASSERT_EQ(LoadImage(files_.File("pack.zip"), *image_, settings_.get()), "webp");
  EXPECT_EQ(MaxDifference(PictureRgb(*image_), Dwebp(path)), 0);
}

}  // namespace
