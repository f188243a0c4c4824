#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "archive/decode.h"
#include "archive/encode.h"
#include "archive/encoded_text.h"
#include "archive/input_stream.h"
#include "archive_test_support.h"
#include "child_process.h"
#include "support/temp_dir.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

int CountDataLines(const std::string& section) {
  int count = 0;
  for (const std::string& line : Lines(section)) {
    if (!line.empty() && line.find(' ') == std::string::npos && line != "end" &&
        line.rfind("begin", 0) != 0) {
      ++count;
    }
  }
  return count;
}

std::string Banner(int k, int n, const std::string& name) {
  return "\nsection " + std::to_string(k) + "/" + std::to_string(n) + "   file " + name +
         "   [ Zentrope 4.0 ]\n\n";
}

TEST(TEncode, SplitsIntoAnnouncedSectionsOfBoundedLines) {
  TempDir dir;
  const Bytes data = PatternBytes(100000, 21);
  WriteFileBytes(dir.File("pic.gif"), data);
  LogCapture log;
  EXPECT_TRUE(TEncode(400).Encode(dir.File("pic.gif")));
  ASSERT_EQ(log.lines.size(), 7u);
  EXPECT_EQ(log.lines.front(), "Encoding " + dir.File("pic.gif"));
  for (int k = 1; k <= 6; ++k) {
    const std::string section = ReadFileText(dir.File("pic.uu" + std::to_string(k)));
    EXPECT_EQ(section.rfind(Banner(k, 6, "pic.gif"), 0), 0u) << k;
    EXPECT_EQ(CountDataLines(section), k < 6 ? 372 : 364) << k;  // 363 + the "`" line
    EXPECT_TRUE(section.ends_with(Banner(k, 6, "pic.gif")));
  }
  EXPECT_TRUE(ReadFileText(dir.File("pic.uu6")).ends_with("`\nend\n" + Banner(6, 6, "pic.gif")));
  EXPECT_NE(access(dir.File("pic.uu7").c_str(), F_OK), 0);
}

TEST(TEncode, EmptyFileMakesOneSectionWithBeginAndEnd) {
  TempDir dir;
  WriteFileBytes(dir.File("pic.gif"), {});
  TEncode(400).Encode(dir.File("pic.gif"));
  EXPECT_EQ(ReadFileText(dir.File("pic.uu1")),
            Banner(1, 1, "pic.gif") + "begin 644 pic.gif\n`\nend\n" + Banner(1, 1, "pic.gif"));
}

TEST(TEncode, SectionCountIsHalvedBelowOneHundred) {
  const EncodeLayout layout = PlanEncodeSections(1000000, 1);
  EXPECT_EQ(layout.sections, 86);
  EXPECT_EQ(layout.lines, 511);
  EXPECT_EQ(EncodeSectionName("/a/pic.gif", 9), "/a/pic.uu9");
  EXPECT_EQ(EncodeSectionName("/a/pic.gif", 10), "/a/pic.u10");
}

TEST(TEncode, ZeroBytesBecomeBackquotesAndRoundTripThroughTheStream) {
  TempDir dir;
  Bytes data = PatternBytes(5000, 22);
  std::fill(data.begin() + 100, data.begin() + 400, 0);
  WriteFileBytes(dir.File("z.bin"), data);
  TEncode(20).Encode(dir.File("z.bin"));
  for (const std::string& line : Lines(ReadFileText(dir.File("z.uu2")))) {
    EXPECT_FALSE(!line.empty() && line.back() == ' ' && line.find("section") == std::string::npos)
        << line;
  }
  InputStreamPtr stream(stream_open(dir.File("z.uu1").c_str(), "rb"));
  Bytes out(data.size() + 10);
  EXPECT_EQ(stream_read(out.data(), 1, out.size(), stream.get()), data.size());
  out.resize(data.size());
  EXPECT_EQ(out, data);
}

TEST(TDecode, DecodesAllPartsAndReportsEachStep) {
  TempDir dir;
  const Bytes data = PatternBytes(50000, 23);
  WriteFileBytes(dir.File("orig.gif"), data);
  TEncode(300).Encode(dir.File("orig.gif"));
  // Mail headers and signatures between the parts.
  for (int k = 2; k <= 4; ++k) {
    const std::string part = dir.File("orig.uu" + std::to_string(k));
    WriteFileText(part, "From: poster\nSubject: orig.gif (" + std::to_string(k) + "/4)\n\n" +
                            ReadFileText(part) + "-- \nGreetings, J. Poster\n");
  }
  unlink(dir.File("orig.gif").c_str());
  LogCapture log;
  {
    TDecode decode;
    decode.Decode(dir.File("orig.uu1"));
    // The same set chosen again from its second part changes nothing.
    decode.Decode(dir.File("orig.uu2"));
  }
  EXPECT_EQ(ReadFileBytes(dir.File("orig.gif")), data);
  ASSERT_GE(log.lines.size(), 2u);
  EXPECT_EQ(log.lines[0], "Decoding " + dir.File("orig.uu1"));
  EXPECT_EQ(log.lines[1], "Created " + dir.File("orig.gif"));
  EXPECT_TRUE(log.Contains("Decoding " + dir.File("orig.uu4")));
  EXPECT_FALSE(log.Contains("Error decoding, wrote a short file"));
}

TEST(TDecode, MissingLastPartKeepsTheEarlierFileAndSaysSo) {
  TempDir dir;
  const Bytes complete = PatternBytes(20000, 24);
  WriteFileBytes(dir.File("cut.bin"), complete);
  TEncode(100).Encode(dir.File("cut.bin"));
  unlink(dir.File("cut.uu5").c_str());
  LogCapture log;
  {
    TDecode decode;
    decode.Decode(dir.File("cut.uu1"));
    decode.Finish();
    EXPECT_TRUE(decode.failed());
  }
  ASSERT_FALSE(log.lines.empty());
  EXPECT_EQ(log.lines.back(), "Error decoding, wrote a short file");
  EXPECT_EQ(ReadFileBytes(dir.File("cut.bin")), complete);
}

TEST(TDecode, BeginNamesAreReducedAndUnsafeOnesRefused) {
  TempDir dir;
  const std::string body = "#86)C\n`\nend\n";  // "abc"
  WriteFileText(dir.File("a.uue"), "begin 644 /etc/deep/Pic.GIF\n" + body + "begin 644 ..\n" +
                                       body + "begin 600 x/..\n" + body);
  LogCapture log;
  { TDecode().Decode(dir.File("a.uue")); }
  const Bytes abc = {'a', 'b', 'c'};
  EXPECT_EQ(ReadFileBytes(dir.File("Pic.GIF")), abc);
  EXPECT_TRUE(log.Contains("Did not create .. - unsafe file name."));
  EXPECT_TRUE(log.Contains("Did not create x/.. - unsafe file name."));
  EXPECT_EQ(log.lines.size(), 4u);
  EXPECT_EQ(FolderEntries(dir.path()), (std::vector<std::string>{"Pic.GIF", "a.uue"}));
}

TEST(TDecode, NeverOverwritesThePartBeingRead) {
  TempDir dir;
  const std::string text = "begin 644 self.uue\n#86)C\n`\nend\n";
  WriteFileText(dir.File("self.uue"), text);
  LogCapture log;
  { TDecode().Decode(dir.File("self.uue")); }
  EXPECT_EQ(ReadFileText(dir.File("self.uue")), text);
  EXPECT_TRUE(
      log.Contains("Did not create " + dir.File("self.uue") + " - it is the file being read."));
}

TEST(TDecode, NeverWritesThroughASymbolicLink) {
  TempDir dir;
  WriteFileText(dir.File("target.txt"), "keep");
  ASSERT_EQ(symlink(dir.File("target.txt").c_str(), dir.File("link.gif").c_str()), 0);
  WriteFileText(dir.File("l.uue"), "begin 644 link.gif\n#86)C\n`\nend\n");
  LogCapture log;
  { TDecode().Decode(dir.File("l.uue")); }
  EXPECT_EQ(ReadFileText(dir.File("target.txt")), "keep");
  EXPECT_FALSE(log.Contains("Created " + dir.File("link.gif")));
  struct stat info {};
  ASSERT_EQ(lstat(dir.File("link.gif").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
}

TEST(TDecode, DecodePartNamesRewriteTheExtension) {
  EXPECT_EQ(DecodePartName("/d/pic.uue", 2), "/d/pic.uu2");
  EXPECT_EQ(DecodePartName("/d/pic.uue", 10), "/d/pic.u10");
  EXPECT_EQ(DecodePartName("/d/pic.01", 12), "/d/pic.12");
  EXPECT_EQ(DecodePartName("/d/pic.u", 10), "/d/pic.10");
  EXPECT_EQ(DecodePartName("/d.x/pic", 3), "/d.x/pic.3");
}

}  // namespace

namespace {

TEST(TDecode, AFileLeftOpenContinuesInTheNextChosenFile) {
  TempDir dir;
  const Bytes data = PatternBytes(45 * 4 + 10, 25);
  WriteFileBytes(dir.File("whole.bin"), data);
  TEncode(400).Encode(dir.File("whole.bin"));
  const std::string text = ReadFileText(dir.File("whole.uu1"));
  const std::size_t split = text.find('\n', text.find("begin")) + 1 + 62 * 2;
  WriteFileText(dir.File("first.txt"), text.substr(0, split));
  WriteFileText(dir.File("other.txt"), text.substr(split));
  unlink(dir.File("whole.bin").c_str());
  LogCapture log;
  EXPECT_TRUE(RunDecode({dir.File("first.txt"), dir.File("other.txt")}));
  EXPECT_EQ(ReadFileBytes(dir.File("whole.bin")), data);
  EXPECT_FALSE(log.Contains("Error decoding, wrote a short file"));
}

}  // namespace
