// Archives and encoded files made by Info-ZIP zip, sharutils and coreutils,
// read by our code and compared with what those tools themselves produce.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <regex>
#include <string>

#include "archive/decode.h"
#include "archive/encode.h"
#include "archive/input_stream.h"
#include "archive/zip_commands.h"
#include "archive_test_support.h"
#include "platform/path.h"
#include "support/peer_tools.h"
#include "support/temp_dir.h"

namespace {

// A tree of pictures and text in nested folders, every base name unique.
void MakeTree(const TempDir& dir) {
  RunCommand("mkdir -p " + ShellQuote(dir.File("tree/Photos/2001/March")) + " " +
             ShellQuote(dir.File("tree/Text")));
  WriteFileBytes(dir.File("tree/Photos/2001/March/Beach.GIF"), PatternBytes(400000, 41));
  WriteFileBytes(dir.File("tree/Photos/Noise.bmp"), PatternBytes(70000, 42));
  WriteFileBytes(dir.File("tree/empty.dat"), {});
  for (int i = 0; i < 120; ++i) {
    WriteFileText(dir.File("tree/Text/note" + std::to_string(i) + ".txt"),
                  std::string(static_cast<std::size_t>(i) * 37, static_cast<char>('a' + i % 26)));
  }
}

std::string ListingLine(const std::smatch& m) {
  // unzip prints either YYYY-MM-DD or MM-DD-YYYY.
  std::string month = m[2], day = m[3], year = m[4];
  if (m[2].length() == 4) {
    year = m[2];
    month = m[3];
    day = m[4];
  }
  char line[600];
  std::snprintf(line, sizeof line, "%7ld %s-%s-%s %s:%s %s", std::stol(m[1]), month.c_str(),
                day.c_str(), year.substr(2).c_str(), std::string(m[5]).c_str(),
                std::string(m[6]).c_str(), ToLower(SplitPath(m[7].str()).name).c_str());
  std::string text = line;
  const std::string ext = ToLower(SplitPath(m[7].str()).extension);
  return text + ext;
}

std::vector<std::string> UnzipListing(const std::string& zip) {
  const std::string output = CommandOutput("unzip -l " + ShellQuote(zip));
  const std::regex row(R"(^\s*(\d+)\s+(\d+)-(\d+)-(\d+)\s+(\d\d):(\d\d)\s+(.*)$)");
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < output.size()) {
    const std::size_t end = output.find('\n', start);
    const std::string line = output.substr(start, end - start);
    std::smatch m;
    if (std::regex_match(line, m, row)) lines.push_back(ListingLine(m));
    start = end == std::string::npos ? output.size() : end + 1;
  }
  return lines;
}

std::vector<std::string> FilesUnder(const std::string& root) {
  const std::string out = CommandOutput("cd " + ShellQuote(root) + " && find . -type f");
  std::vector<std::string> files;
  std::size_t start = 0;
  while (start < out.size()) {
    const std::size_t end = out.find('\n', start);
    files.push_back(out.substr(start + 2, end - start - 2));
    start = end + 1;
  }
  return files;
}

class ZipOracle : public ::testing::TestWithParam<const char*> {};

TEST_P(ZipOracle, ListsAndExtractsLikeInfoZip) {
  REQUIRE_PEER_TOOL("zip");
  REQUIRE_PEER_TOOL("unzip");
  TempDir dir;
  MakeTree(dir);
  const std::string zip = dir.File("a.zip");
  // -X leaves out the extra timestamps, so unzip too sets times from the
  // MS-DOS date and time.
  ASSERT_EQ(RunCommand("cd " + ShellQuote(dir.File("tree")) + " && zip -q -r -X " + GetParam() +
                       " " + ShellQuote(zip) + " ."),
            0);
  LogCapture log;
  ListZipArchive(zip);
  std::vector<std::string> ours(log.lines.begin() + 4, log.lines.end() - 1);
  EXPECT_EQ(ours, UnzipListing(zip));

  RunCommand("mkdir " + ShellQuote(dir.File("theirs")) + " " + ShellQuote(dir.File("ours")));
  ASSERT_EQ(RunCommand("unzip -o -q " + ShellQuote(zip) + " -d " + ShellQuote(dir.File("theirs"))),
            0);
  ExtractZipArchive(zip, dir.File("ours"));
  const std::vector<std::string> files = FilesUnder(dir.File("theirs"));
  EXPECT_EQ(files.size(), 123u);
  for (const std::string& file : files) {
    const PathParts parts = SplitPath(file);
    const std::string mine = dir.File("ours/" + ToLower(parts.name + parts.extension));
    const std::string theirs = dir.File("theirs/" + file);
    EXPECT_EQ(ReadFileBytes(mine), ReadFileBytes(theirs)) << file;
    struct stat a {
    }, b{};
    ASSERT_EQ(stat(mine.c_str(), &a), 0) << mine;
    ASSERT_EQ(stat(theirs.c_str(), &b), 0);
    EXPECT_EQ(a.st_mtime, b.st_mtime) << file;
  }
}

INSTANTIATE_TEST_SUITE_P(StoredAndDeflated, ZipOracle, ::testing::Values("-0", "-6"));

std::string InsertMailBreaks(const std::string& encoded, int lines_per_part,
                             std::vector<std::string>& parts) {
  std::string part;
  int lines = 0;
  std::size_t start = 0;
  while (start < encoded.size()) {
    const std::size_t end = encoded.find('\n', start);
    part += encoded.substr(start, end - start + 1);
    start = end + 1;
    if (++lines == lines_per_part) {
      parts.push_back(part + "\n-- \nSent from my 486\n");
      part = "From: poster@example.com\nSubject: pic.gif (" + std::to_string(parts.size() + 1) +
             "/n)\n\n";
      lines = 0;
    }
  }
  parts.push_back(part);
  return {};
}

TEST(UuencodeOracle, SharutilsPartsDecodeByteExact) {
  REQUIRE_PEER_TOOL("uuencode");
  TempDir dir;
  const Bytes data = PatternBytes(150000, 43);
  WriteFileBytes(dir.File("orig.gif"), data);
  for (const char* flags : {"", "-m"}) {
    const std::string encoded = CommandOutput(std::string("uuencode ") + flags + " " +
                                              ShellQuote(dir.File("orig.gif")) + " pic.gif");
    std::vector<std::string> parts;
    InsertMailBreaks(encoded, 1000, parts);
    if (std::string(flags) == "-m") {
      // MIME form: a base64 body in one part behind a mail header.
      parts.assign(1, "Content-Type: image/gif\nContent-Transfer-Encoding: base64\n\n" +
                          encoded.substr(encoded.find('\n') + 1));
    }
    for (std::size_t k = 0; k < parts.size(); ++k) {
      WriteFileText(dir.File("pic.uu" + std::to_string(k + 1)), parts[k]);
    }
    InputStreamPtr stream(stream_open(dir.File("pic.uu1").c_str(), "rb"));
    Bytes out(data.size() + 100);
    ASSERT_EQ(stream_read(out.data(), 1, out.size(), stream.get()), data.size()) << flags;
    out.resize(data.size());
    EXPECT_EQ(out, data);
    if (*flags == 0) {
      ASSERT_GE(parts.size(), 3u);
      { TDecode().Decode(dir.File("pic.uu1")); }
      EXPECT_EQ(ReadFileBytes(dir.File("pic.gif")), data);
    }
  }
}

TEST(UuencodeOracle, OurSectionsDecodeWithSharutils) {
  REQUIRE_PEER_TOOL("uudecode");
  TempDir dir;
  const Bytes data = PatternBytes(100000, 44);
  WriteFileBytes(dir.File("pic.gif"), data);
  TEncode(400).Encode(dir.File("pic.gif"));
  // Joined the way posted parts are joined: each section's banner lines go.
  std::string joined;
  for (int k = 1; k <= 6; ++k) {
    const std::string section = ReadFileText(dir.File("pic.uu" + std::to_string(k)));
    const std::size_t head = section.find("]\n\n") + 3;
    const std::size_t tail = section.rfind("\nsection");
    joined += section.substr(head, tail - head);
  }
  WriteFileText(dir.File("joined.txt"), joined);
  ASSERT_EQ(RunCommand("uudecode -o " + ShellQuote(dir.File("back.gif")) + " " +
                       ShellQuote(dir.File("joined.txt"))),
            0);
  EXPECT_EQ(ReadFileBytes(dir.File("back.gif")), data);

  // A single section decodes as it stands, banners and all.
  WriteFileBytes(dir.File("small.gif"), PatternBytes(3000, 45));
  TEncode(400).Encode(dir.File("small.gif"));
  ASSERT_EQ(RunCommand("uudecode -o " + ShellQuote(dir.File("small.out")) + " " +
                       ShellQuote(dir.File("small.uu1"))),
            0);
  EXPECT_EQ(ReadFileBytes(dir.File("small.out")), PatternBytes(3000, 45));
}

TEST(Base64Oracle, CoreutilsBase64InAMimePartOpensByteExact) {
  REQUIRE_PEER_TOOL("base64");
  TempDir dir;
  const Bytes data = PatternBytes(60001, 46);
  WriteFileBytes(dir.File("pic.gif"), data);
  const std::string body = CommandOutput("base64 " + ShellQuote(dir.File("pic.gif")));
  WriteFileText(dir.File("mail.txt"),
                "From: a@b\nContent-Type: multipart/mixed; boundary=\"xyz\"\n\n--xyz\n"
                "Content-Type: image/gif\nContent-transfer-encoding: base64\n\n" +
                    body + "\n--xyz--\n");
  InputStreamPtr stream(stream_open(dir.File("mail.txt").c_str(), "rb"));
  Bytes out(data.size() + 10);
  ASSERT_EQ(stream_read(out.data(), 1, out.size(), stream.get()), data.size());
  out.resize(data.size());
  EXPECT_EQ(out, data);
}

}  // namespace
