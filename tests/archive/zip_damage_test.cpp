// Zip archives that are damaged, hostile or written as a stream: the walk
// tells the archive's end from damage, members go in place only when they
// decoded completely, and nothing of a failure is reported as success.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "archive/input_stream.h"
#include "archive/zip_commands.h"
#include "archive_test_support.h"
#include "child_process.h"
#include "support/temp_dir.h"

namespace {

constexpr std::size_t kLocalHeaderSize = 30;

// The archive as BuildZip makes it, without its closing end record.
Bytes WithoutEndRecord(Bytes zip) {
  zip.resize(zip.size() - 22);
  return zip;
}

void Put32At(Bytes& bytes, std::size_t at, std::uint32_t value) {
  ASSERT_LE(at + 4, bytes.size());
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

TEST(ZipWalk, StreamedMemberWithDeferredSizesIsDamageNotAnEmptyFile) {
  TempDir dir;
  Bytes zip = BuildZip({{"first.txt", Bytes(40, 'f'), 8}, {"second.txt", Bytes(50, 's'), 0}});
  // A writer that streams sets bit 3 and leaves the sizes zero.
  ASSERT_GT(zip.size(), kLocalHeaderSize);
  zip[6] = 8;
  Put32At(zip, 18, 0);
  Put32At(zip, 22, 0);
  WriteFileBytes(dir.File("streamed.zip"), zip);
  WriteFileText(dir.File("first.txt"), "keep me");
  LogCapture log;
  EXPECT_FALSE(ListZipArchive(dir.File("streamed.zip")));
  EXPECT_FALSE(ExtractZipArchive(dir.File("streamed.zip"), ""));
  const std::string damaged = dir.File("streamed.zip") + " is damaged or needs a newer unzipper.";
  const std::vector<std::string> expected = {
      "Zip Info for " + dir.File("streamed.zip"), "", damaged, "", damaged, ""};
  EXPECT_EQ(log.lines, expected);
  EXPECT_EQ(ReadFileText(dir.File("first.txt")), "keep me");
  EXPECT_EQ(FolderEntries(dir.path()), (std::vector<std::string>{"first.txt", "streamed.zip"}));
}

TEST(ZipWalk, DamageAfterGoodMembersKeepsThemAndFails) {
  TempDir dir;
  const Bytes one = BuildZip({{"one.txt", Bytes(30, '1'), 8}});
  const std::size_t first_member = one.size() - 22;
  // A damaged header after the first member, then a member the walk cannot reach.
  Bytes zip = WithoutEndRecord(one);
  const Bytes rest = BuildZip({{"two.txt", Bytes(20, '2'), 0}});
  zip.insert(zip.end(), rest.begin(), rest.end());
  Put32At(zip, first_member, 0x04034b51);
  WriteFileBytes(dir.File("bad.zip"), zip);
  // Cut inside the second member's local header.
  Bytes cut = WithoutEndRecord(BuildZip({{"a.txt", Bytes(10, 'a'), 0}, {"b.txt", {}, 0}}));
  cut.resize(cut.size() - 20);
  WriteFileBytes(dir.File("cut.zip"), cut);
  mkdir(dir.File("out").c_str(), 0755);
  LogCapture log;
  EXPECT_FALSE(ExtractZipArchive(dir.File("bad.zip"), dir.File("out")));
  EXPECT_FALSE(ExtractZipArchive(dir.File("cut.zip"), dir.File("out")));
  EXPECT_FALSE(ListZipArchive(dir.File("cut.zip")));
  EXPECT_EQ(ReadFileBytes(dir.File("out/one.txt")), Bytes(30, '1'));
  EXPECT_EQ(ReadFileBytes(dir.File("out/a.txt")), Bytes(10, 'a'));
  EXPECT_EQ(FolderEntries(dir.File("out")), (std::vector<std::string>{"a.txt", "one.txt"}));
  EXPECT_TRUE(log.Contains(dir.File("bad.zip") + " is damaged or needs a newer unzipper."));
  EXPECT_TRUE(log.Contains(dir.File("cut.zip") + " is damaged or needs a newer unzipper."));
  EXPECT_TRUE(log.Contains("     10 03-05-01 14:07 a.txt"));
}

TEST(ZipWalk, CentralDirectoryOrEndRecordEndsTheWalkCleanly) {
  TempDir dir;
  const Bytes with_end = BuildZip({{"e.txt", Bytes(5, 'e'), 0}});
  Bytes with_central = WithoutEndRecord(with_end);
  // A central directory header is 46 bytes and more; only its signature counts.
  Bytes central(46, 0);
  Put32At(central, 0, 0x02014b50);
  with_central.insert(with_central.end(), central.begin(), central.end());
  WriteFileBytes(dir.File("end.zip"), with_end);
  WriteFileBytes(dir.File("central.zip"), with_central);
  LogCapture log;
  EXPECT_TRUE(ListZipArchive(dir.File("end.zip")));
  EXPECT_TRUE(ListZipArchive(dir.File("central.zip")));
  EXPECT_TRUE(ExtractZipArchive(dir.File("central.zip"), ""));
  for (const std::string& line : log.lines) EXPECT_EQ(line.find("damaged"), std::string::npos);
  EXPECT_FALSE(ListZipArchive(dir.File("missing.zip")));
}

TEST(ZipReplace, FailedMembersKeepTheFilesTheyWouldHaveReplaced) {
  TempDir dir;
  ZipEntry bad_crc{"crc.bin", PatternBytes(5000, 71), 8};
  bad_crc.corrupt_crc = true;
  ZipEntry encrypted{"secret.bin", Bytes(20, 's'), 0};
  encrypted.flags = 1;
  Bytes zip = BuildZip({bad_crc, encrypted, {"inflate.bin", PatternBytes(50000, 72), 8}});
  // Garble the last member's deflate data.
  const std::size_t last = zip.size() - 22 - 200;
  for (std::size_t i = last; i < last + 100; ++i) zip[i] ^= 0x5A;
  WriteFileBytes(dir.File("a.zip"), zip);
  for (const char* name : {"crc.bin", "secret.bin", "inflate.bin"}) {
    WriteFileText(dir.File(name), std::string("good ") + name);
  }
  LogCapture log;
  EXPECT_FALSE(ExtractZipArchive(dir.File("a.zip"), ""));
  for (const char* name : {"crc.bin", "secret.bin", "inflate.bin"}) {
    EXPECT_EQ(ReadFileText(dir.File(name)), std::string("good ") + name);
    EXPECT_TRUE(log.Contains("Error reading zip file, wrote a short file " + dir.File(name)));
  }
  EXPECT_EQ(FolderEntries(dir.path()),
            (std::vector<std::string>{"a.zip", "crc.bin", "inflate.bin", "secret.bin"}));
}

TEST(ZipReplace, FullDiskKeepsTheOldFile) {
  TempDir dir;
  // Stored, so that only the extracted file meets the limit.
  WriteFileBytes(dir.File("a.zip"), BuildZip({{"big.bin", PatternBytes(300000, 73), 0},
                                              {"small.bin", Bytes(100, 's'), 0}}));
  WriteFileText(dir.File("big.bin"), "old");
  const int status = RunInChild(WithFileSizeLimit(200000), [&] {
    LogCapture log;
    const bool extracted = ExtractZipArchive(dir.File("a.zip"), "");
    const bool said =
        log.Contains("Error writing " + dir.File("big.bin") + ", wrote a short file") &&
        log.Contains("Created " + dir.File("small.bin"));
    return !extracted && said ? 0 : 1;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ReadFileText(dir.File("big.bin")), "old");
  EXPECT_EQ(ReadFileBytes(dir.File("small.bin")), Bytes(100, 's'));
  EXPECT_EQ(FolderEntries(dir.path()), (std::vector<std::string>{"a.zip", "big.bin", "small.bin"}));
}

TEST(ZipReplace, FolderEntriesAreSkippedQuietly) {
  TempDir dir;
  WriteFileBytes(
      dir.File("a.zip"),
      BuildZip({{"photos/", {}, 0}, {"photos/2001\\", {}, 0}, {"photos/p.gif", Bytes(7, 'p'), 8}}));
  LogCapture log;
  EXPECT_TRUE(ExtractZipArchive(dir.File("a.zip"), ""));
  const std::vector<std::string> expected = {"Created " + dir.File("p.gif"), ""};
  EXPECT_EQ(log.lines, expected);
}

TEST(ZipReplace, PipesInTheDestinationAreRefusedWithoutBlocking) {
  TempDir dir;
  ASSERT_EQ(mkfifo(dir.File("pipe.gif").c_str(), 0644), 0);
  ASSERT_EQ(mkfifo(dir.File("pipe.zip").c_str(), 0644), 0);
  WriteFileBytes(dir.File("a.zip"), BuildZip({{"pipe.gif", Bytes(9, 'p'), 0}}));
  const int status = RunInChild({}, [&] {
    LogCapture log;
    const bool extracted = ExtractZipArchive(dir.File("a.zip"), "");
    const bool opened = stream_open(dir.File("pipe.zip").c_str(), "rb") != nullptr;
    return !extracted && !opened &&
                   log.Contains("Error writing " + dir.File("pipe.gif") + ", wrote a short file")
               ? 0
               : 1;
  });
  EXPECT_EQ(status, 0);
  struct stat info {};
  ASSERT_EQ(lstat(dir.File("pipe.gif").c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

TEST(ZipReplace, ControlCharactersInMemberNamesBecomeUnderscores) {
  TempDir dir;
  WriteFileBytes(dir.File("a.zip"), BuildZip({{"\x1b[2J\x1b]0;title\x07.gif", Bytes(3, 'x'), 0},
                                              {"caf\xc3\xa9\xc2\x9b.txt", Bytes(2, 'y'), 0}}));
  LogCapture log;
  EXPECT_TRUE(ListZipArchive(dir.File("a.zip")));
  EXPECT_TRUE(ExtractZipArchive(dir.File("a.zip"), ""));
  EXPECT_EQ(ReadFileBytes(dir.File("_[2j_]0;title_.gif")), Bytes(3, 'x'));
  EXPECT_EQ(ReadFileBytes(dir.File("caf\xc3\xa9_.txt")), Bytes(2, 'y'));
  EXPECT_TRUE(log.Contains("      3 03-05-01 14:07 _[2j_]0;title_.gif"));
  for (const std::string& line : log.lines) {
    EXPECT_EQ(line.find_first_of("\x1b\x07"), std::string::npos) << line;
    EXPECT_EQ(line.find("\xc2\x9b"), std::string::npos) << line;
  }
}

}  // namespace
