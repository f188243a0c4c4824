// Uuencoded and base64 text opened through the input stream.
#include <gtest/gtest.h>

#include <string>

#include "archive/encoded_text.h"
#include "archive/input_stream.h"
#include "archive_test_support.h"
#include "support/temp_dir.h"

namespace {

Bytes ReadAll(InputStream* stream) {
  Bytes out;
  for (int c = stream_getc(stream); c >= 0; c = stream_getc(stream)) {
    out.push_back(static_cast<unsigned char>(c));
  }
  return out;
}

// Standard uuencoding with backquotes; `strip` drops trailing spaces the way
// mail transports do (only matters for the space form).
std::string UuLines(const Bytes& data, bool backquote = true) {
  std::string text;
  const auto ch = [&](unsigned v) {
    v &= 63;
    return static_cast<char>(v == 0 && backquote ? '`' : ' ' + v);
  };
  for (std::size_t at = 0; at < data.size(); at += 45) {
    const std::size_t n = std::min<std::size_t>(45, data.size() - at);
    text += ch(static_cast<unsigned>(n));
    for (std::size_t i = 0; i < n; i += 3) {
      const unsigned b1 = data[at + i];
      const unsigned b2 = i + 1 < n ? data[at + i + 1] : 0;
      const unsigned b3 = i + 2 < n ? data[at + i + 2] : 0;
      text += ch(b1 >> 2);
      text += ch((b1 & 3) << 4 | b2 >> 4);
      text += ch((b2 & 15) << 2 | b3 >> 6);
      text += ch(b3);
    }
    text += '\n';
  }
  return text;
}

TEST(EncodedStream, UuencodedTextDecodesWithinTheStream) {
  TempDir dir;
  const Bytes data = PatternBytes(10000, 11);
  const std::string path = dir.File("pic.uue");
  WriteFileText(path,
                "From: someone\nSubject: pic\n\nbegin 644 pic.gif\n" + UuLines(data) + "`\nend\n");
  InputStreamPtr stream(stream_open(path.c_str(), "rb"));
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(ReadAll(stream.get()), data);
  ZipMemberInfo info{};
  EXPECT_EQ(stream_member_info(stream.get(), &info), -1);
}

TEST(EncodedStream, NumberedPartsAreGatheredUntilOneIsMissing) {
  TempDir dir;
  const Bytes data = PatternBytes(45 * 30, 12);
  const std::string lines = UuLines(data);
  const std::size_t cut = 61 * 1 + 1;  // after the first full line (62 with newline)
  WriteFileText(dir.File("pic.uu1"), "begin 644 pic.gif\n" + lines.substr(0, cut * 10));
  WriteFileText(dir.File("pic.uu2"),
                "\n-- \nsignature\n\nSubject: part 2\n\n" + lines.substr(cut * 10, cut * 10));
  // No pic.uu3: the set ends after part 2.
  WriteFileText(dir.File("pic.uu4"), lines.substr(cut * 20));
  InputStreamPtr stream(stream_open(dir.File("pic.uu1").c_str(), "rb"));
  EXPECT_EQ(ReadAll(stream.get()), Bytes(data.begin(), data.begin() + 45 * 20));
}

TEST(EncodedStream, PartNamesFollowTheLastCharacters) {
  EXPECT_EQ(StreamPartName("/d/pic.uu1", 2), "/d/pic.uu2");
  EXPECT_EQ(StreamPartName("/d/pic.uu1", 10), "/d/pic.u10");
  EXPECT_EQ(StreamPartName("x", 10), "");
}

TEST(EncodedStream, StrippedSpacesAndCheckCharactersAreTolerated) {
  TempDir dir;
  // The space form with trailing spaces stripped, then a line with a check
  // character, the way old posting software wrote them.
  Bytes data(90, 0);
  data[89] = 0x41;
  std::string lines = UuLines(data, false);
  std::string stripped;
  for (std::size_t start = 0; start < lines.size();) {
    std::size_t end = lines.find('\n', start);
    std::string line = lines.substr(start, end - start);
    while (!line.empty() && line.back() == ' ') line.pop_back();
    stripped += line + "\n";
    start = end + 1;
  }
  const std::string path = dir.File("z.uue");
  WriteFileText(path, "begin 644 z\n" + stripped + "end\n");
  InputStreamPtr stream(stream_open(path.c_str(), "rb"));
  EXPECT_EQ(ReadAll(stream.get()), data);

  const Bytes more = PatternBytes(90, 13);
  std::string checked = UuLines(more);
  checked.insert(61, "X");  // a 62nd character on the first full line
  WriteFileText(path, "begin 644 z\n" + checked + "`\nend\n");
  InputStreamPtr again(stream_open(path.c_str(), "rb"));
  EXPECT_EQ(ReadAll(again.get()), more);
}

TEST(EncodedStream, BeginBeyondTheScannedStartIsAPlainFile) {
  TempDir dir;
  const std::string text = std::string(8200, 'a') + "\nbegin 644 x\n" + UuLines(Bytes(45, 1));
  const std::string path = dir.File("late.txt");
  WriteFileText(path, text);
  InputStreamPtr stream(stream_open(path.c_str(), "rb"));
  EXPECT_EQ(ReadAll(stream.get()).size(), text.size());
}

TEST(EncodedStream, Base64MimePartDecodesUntilTheBoundary) {
  TempDir dir;
  const std::string path = dir.File("mail.txt");
  // "Hello, world!" and a second line; the boundary ends the body.
  WriteFileText(path,
                "MIME-Version: 1.0\n--b\nCONTENT-TRANSFER-ENCODING: BASE64\n\n"
                "SGVsbG8s\nIHdvcmxkIQ==\n--b--\nQUJD\n");
  InputStreamPtr stream(stream_open(path.c_str(), "rb"));
  const Bytes out = ReadAll(stream.get());
  EXPECT_EQ(std::string(out.begin(), out.end()), "Hello, world!");
}

TEST(EncodedStream, DecodedZipOpensAtItsFirstMember) {
  TempDir dir;
  const Bytes first = PatternBytes(3000, 14);
  const Bytes zip = BuildZip({{"first.gif", first}, {"second.gif", Bytes(7, 2)}});
  const std::string path = dir.File("archive.uue");
  WriteFileText(path, "begin 644 archive.zip\n" + UuLines(zip) + "`\nend\n");
  InputStreamPtr stream(stream_open(path.c_str(), "rb"));
  ZipMemberInfo info{};
  ASSERT_EQ(stream_member_info(stream.get(), &info), 0);
  EXPECT_STREQ(info.name, "first.gif");
  EXPECT_EQ(ReadAll(stream.get()), first);
  EXPECT_EQ(stream_next_member(stream.get()), 0);
  EXPECT_EQ(ReadAll(stream.get()), Bytes(7, 2));
}

}  // namespace
