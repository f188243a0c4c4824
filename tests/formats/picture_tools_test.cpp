// zpicture and make-samples as the README and bench/compare use them.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

#include "pcx_tga_support.h"
#include "support/peer_tools.h"

namespace {

using pcx_tga_test::FormatTest;

std::string Tool(const std::string& name) {
  return std::string(ZENTROPE_TOOLS_DIR) + "/" + name;
}

bool Exists(const std::string& path) {
  return access(path.c_str(), F_OK) == 0;
}

class PictureTools : public FormatTest {
 protected:
  void SetUp() override {
    FormatTest::SetUp();
    if (!Exists(Tool("zpicture")) || !Exists(Tool("make-samples"))) {
      GTEST_SKIP() << "tools not built";
    }
  }
};

TEST_F(PictureTools, EverySampleConvertsBetweenTheFourFormatsOfOurOwn) {
  const std::string samples = files_.File("samples");
  ASSERT_EQ(RunCommand(ShellQuote(Tool("make-samples")) + " " + ShellQuote(samples)), 0);
  // Formats whose writer is not in this build have no samples.
  std::vector<std::string> extensions;
  for (const char* extension : {"gif", "bmp", "pcx", "tga"}) {
    if (Exists(samples + "/photo." + extension)) extensions.push_back(extension);
  }
  ASSERT_GE(extensions.size(), 2u);
  int converted = 0;
  for (const char* name : {"photo", "lineart", "text", "palette", "bilevel"}) {
    for (const std::string& from : extensions) {
      const std::string in = samples + "/" + name + "." + from;
      TImage original;
      ASSERT_EQ(LoadImage(in, original, nullptr), from);
      for (const std::string& to : extensions) {
        const std::string out = files_.File(std::string(name) + "-" + from + "." + to);
        ASSERT_EQ(RunCommand(ShellQuote(Tool("zpicture")) + " convert " + ShellQuote(in) + " " +
                             ShellQuote(out) + " 2>/dev/null"),
                  0)
            << in << " -> " << to;
        TImage converted_picture;
        EXPECT_EQ(LoadImage(out, converted_picture, nullptr), to);
        EXPECT_EQ(converted_picture.width, original.width) << out;
        EXPECT_EQ(converted_picture.height, original.height) << out;
        ++converted;
      }
    }
  }
  EXPECT_EQ(converted, 5 * static_cast<int>(extensions.size() * extensions.size()));
}

TEST_F(PictureTools, InfoAndPpmShowTheLoadedPicture) {
  TImage image;
  pcx_tga_test::MakePalettePicture(image, 20, 17);
  ASSERT_EQ(Save("in.tga", image), 0);
  const std::string info =
      CommandOutput(ShellQuote(Tool("zpicture")) + " info " + ShellQuote(files_.File("in.tga")));
  EXPECT_NE(info.find("format: tga\n"), std::string::npos) << info;
  EXPECT_NE(info.find("size: 20 x 17\n"), std::string::npos) << info;
  EXPECT_NE(info.find("bytes per pixel: 1\n"), std::string::npos) << info;

  ASSERT_EQ(RunCommand(ShellQuote(Tool("zpicture")) + " ppm " + ShellQuote(files_.File("in.tga")) +
                       " " + ShellQuote(files_.File("out.ppm"))),
            0);
  const std::vector<unsigned char> ppm = ReadFileBytes(files_.File("out.ppm"));
  const std::string head = "P6\n20 17\n255\n";
  ASSERT_EQ(ppm.size(), head.size() + 3 * 20 * 17);
  EXPECT_EQ(std::string(ppm.begin(), ppm.begin() + static_cast<long>(head.size())), head);
  // The test picture's index at (x, y), and colour i is (i, 255 - i, 3i).
  for (int y = 0; y < 17; ++y) {
    for (int x = 0; x < 20; ++x) {
      const int index = x < 10 ? y : (x * 7 + y * 13) & 0xFF;
      const std::size_t at = head.size() + 3 * (std::size_t(y) * 20 + x);
      ASSERT_EQ(ppm[at], index) << x << "," << y;
      ASSERT_EQ(ppm[at + 1], 255 - index) << x << "," << y;
      ASSERT_EQ(ppm[at + 2], (3 * index) & 0xFF) << x << "," << y;
    }
  }
}

TEST_F(PictureTools, RefusedPicturesFailWithoutWritingThePlaceholder) {
  // A BMP of 7 bits per pixel: recognised, then refused.
  std::vector<std::uint8_t> bmp(64, 0);
  bmp[0] = 'B';
  bmp[1] = 'M';
  bmp[10] = 54;  // the pixel data's offset
  bmp[14] = 40;  // the information header's size
  bmp[18] = 2;   // width
  bmp[22] = 1;   // height
  bmp[26] = 1;   // planes
  bmp[28] = 7;   // bits per pixel
  const std::string in = files_.File("deep.bmp");
  ASSERT_TRUE(WriteFileBytes(in, bmp));
  const std::string zpicture = ShellQuote(Tool("zpicture"));
  const std::string out = files_.File("out.ppm");
  EXPECT_NE(RunCommand(zpicture + " info " + ShellQuote(in) + " >/dev/null 2>&1"), 0);
  EXPECT_NE(
      RunCommand(zpicture + " ppm " + ShellQuote(in) + " " + ShellQuote(out) + " 2>/dev/null"), 0);
  EXPECT_NE(RunCommand(zpicture + " convert " + ShellQuote(in) + " " +
                       ShellQuote(files_.File("out.tga")) + " 2>/dev/null"),
            0);
  EXPECT_FALSE(Exists(out));
  EXPECT_FALSE(Exists(files_.File("out.tga")));
  const std::string said = CommandOutput(zpicture + " info " + ShellQuote(in) + " 2>&1");
  EXPECT_NE(said.find("BMP Error: 7 bits per pixel are not read"), std::string::npos) << said;
}

TEST_F(PictureTools, ConvertSetsOptionsByNameAndRefusesUnknownOnes) {
  TImage image;
  pcx_tga_test::MakeColourPicture(image, 64, 32);
  ASSERT_EQ(Save("in.tga", image), 0);
  const std::string convert = ShellQuote(Tool("zpicture")) + " convert " +
                              ShellQuote(files_.File("in.tga")) + " " +
                              ShellQuote(files_.File("out.tga"));
  ASSERT_EQ(RunCommand(convert + " -OutputWidth=32"), 0);
  TImage small;
  ASSERT_EQ(LoadImage(files_.File("out.tga"), small, nullptr), "tga");
  EXPECT_EQ(small.width, 32);
  EXPECT_EQ(small.height, 16);
  EXPECT_NE(RunCommand(convert + " -NoSuchSetting=1 2>/dev/null"), 0);
}

}  // namespace
