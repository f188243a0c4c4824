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
  ASSERT_GT(ppm.size(), head.size());
  EXPECT_EQ(std::string(ppm.begin(), ppm.begin() + static_cast<long>(head.size())), head);
  EXPECT_EQ(std::vector<std::uint8_t>(ppm.begin() + static_cast<long>(head.size()), ppm.end()),
            PictureToRgb(image));
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
