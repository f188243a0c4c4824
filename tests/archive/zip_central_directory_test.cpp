// The central directory reader and the members it opens through
// "archive/member" paths: data descriptors, ZIP64, and directories that lie.
#include "archive/zip_central_directory.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "archive/input_stream.h"
#include "archive/zip_member_path.h"
#include "archive_test_support.h"
#include "support/peer_tools.h"
#include "support/temp_dir.h"
#include "zip_directory_builder.h"

namespace {

using zip_builder::Build;
using zip_builder::Built;
using zip_builder::Layout;
using zip_builder::Member;
using zip_builder::Patch16;
using zip_builder::Patch32;

ZipCentralDirectory ReadDirectory(const TempDir& dir, const Bytes& bytes) {
  const std::string path = dir.File("a.zip");
  EXPECT_TRUE(WriteFileBytes(path, bytes));
  const int fd = open(path.c_str(), O_RDONLY);
  ZipCentralDirectory directory = ReadZipCentralDirectory(fd);
  close(fd);
  return directory;
}

// Every byte of a member opened by its path; the close result in `close_error`.
Bytes ReadMember(const std::string& path, int* close_error = nullptr) {
  InputStream* stream = stream_open(path.c_str(), "rb");
  if (!stream) return {};
  Bytes out;
  for (int c = stream_getc(stream); c >= 0; c = stream_getc(stream)) {
    out.push_back(static_cast<unsigned char>(c));
  }
  const int error = stream_close(stream);
  if (close_error) *close_error = error;
  return out;
}

std::vector<std::string> Names(const ZipCentralDirectory& directory) {
  std::vector<std::string> names;
  for (const auto& member : directory.members) names.push_back(member.name);
  return names;
}

TEST(ZipCentralDirectory, ListsMembersInDirectoryOrderWithTheirPlaces) {
  TempDir dir;
  const Built built = Build({{"b.jpg", PatternBytes(5000, 1)},
                             {"a.jpg", PatternBytes(300, 2), 0},
                             {"sub/c.gif", PatternBytes(10, 3), 0, 1}},
                            Layout{false, "a comment"});
  const ZipCentralDirectory directory = ReadDirectory(dir, built.bytes);
  EXPECT_EQ(directory.status, ZipDirectoryStatus::kRead);
  EXPECT_EQ(Names(directory), (std::vector<std::string>{"b.jpg", "a.jpg", "sub/c.gif"}));
  const ZipCentralMember& stored = directory.members[1];
  EXPECT_EQ(stored.method, 0u);
  EXPECT_EQ(stored.size, 300u);
  EXPECT_EQ(stored.compressed_size, 300u);
  EXPECT_EQ(stored.crc, zip_builder::Crc(PatternBytes(300, 2)));
  EXPECT_EQ(directory.members[0].local_header_offset, 0u);
  EXPECT_GT(stored.local_header_offset, 0u);
  EXPECT_TRUE(IsEncryptedMember(directory.members[2]));
  EXPECT_FALSE(IsEncryptedMember(stored));
}

TEST(ZipCentralDirectory, FindsTheEndRecordBehindACommentThatHoldsItsSignature) {
  TempDir dir;
  // The comment's "PK\5\6" claims a 65535-byte comment, which would run past the end.
  const std::string comment = std::string("xx") + "PK\x05\x06" + std::string(16, '\0') + "\xFF\xFF";
  const Built built = Build({{"p.jpg", PatternBytes(100, 4)}}, Layout{false, comment});
  const ZipCentralDirectory directory = ReadDirectory(dir, built.bytes);
  EXPECT_EQ(directory.status, ZipDirectoryStatus::kRead);
  EXPECT_EQ(Names(directory), std::vector<std::string>{"p.jpg"});
}

TEST(ZipCentralDirectory, TakesZip64SizesOffsetsAndEndRecord) {
  TempDir dir;
  Member first{"one.jpg", PatternBytes(2000, 5)};
  first.zip64 = true;
  Member second{"two.jpg", PatternBytes(700, 6), 0};
  second.zip64 = true;
  const Built built = Build({first, second}, Layout{true, ""});
  const ZipCentralDirectory directory = ReadDirectory(dir, built.bytes);
  ASSERT_EQ(directory.status, ZipDirectoryStatus::kRead);
  ASSERT_EQ(directory.members.size(), 2u);
  EXPECT_EQ(directory.members[1].size, 700u);
  EXPECT_EQ(directory.members[1].compressed_size, 700u);
  EXPECT_GT(directory.members[1].local_header_offset, 0u);

  // The local headers say 0xFFFFFFFF; the member opens with the directory's sizes.
  const std::string archive = dir.File("a.zip");
  int close_error = -1;
  EXPECT_EQ(ReadMember(archive + "/one.jpg", &close_error), PatternBytes(2000, 5));
  EXPECT_EQ(close_error, 0);
  EXPECT_EQ(ReadMember(archive + "/two.jpg"), PatternBytes(700, 6));
}

TEST(ZipCentralDirectory, MembersWithDataDescriptorsOpenAndTheirCrcIsChecked) {
  TempDir dir;
  Member deflated{"d.jpg", PatternBytes(40000, 7)};
  deflated.data_descriptor = true;
  Member stored{"s.jpg", PatternBytes(999, 8), 0};
  stored.data_descriptor = true;
  Built built = Build({deflated, stored});
  const std::string archive = dir.File("a.zip");
  ASSERT_TRUE(WriteFileBytes(archive, built.bytes));
  int close_error = -1;
  EXPECT_EQ(ReadMember(archive + "/d.jpg", &close_error), PatternBytes(40000, 7));
  EXPECT_EQ(close_error, 0);
  EXPECT_EQ(ReadMember(archive + "/s.jpg"), PatternBytes(999, 8));

  // A wrong CRC in the directory is caught once the member has been inflated.
  Patch32(built.bytes, built.central_headers[0] + 16, zip_builder::Crc(PatternBytes(40000, 7)) ^ 1);
  ASSERT_TRUE(WriteFileBytes(archive, built.bytes));
  ReadMember(archive + "/d.jpg", &close_error);
  EXPECT_EQ(close_error, 1);
}

TEST(ZipCentralDirectory, ArchivesWithoutADirectoryAreNotArchives) {
  TempDir dir;
  EXPECT_EQ(ReadDirectory(dir, {}).status, ZipDirectoryStatus::kNotAnArchive);
  EXPECT_EQ(ReadDirectory(dir, PatternBytes(100000, 9)).status, ZipDirectoryStatus::kNotAnArchive);
  // The end record's comment would end past the file.
  Built built = Build({{"p.jpg", PatternBytes(10, 1)}});
  Patch16(built.bytes, built.end_record_offset + 20, 5);
  EXPECT_EQ(ReadDirectory(dir, built.bytes).status, ZipDirectoryStatus::kNotAnArchive);
}

TEST(ZipCentralDirectory, DirectoriesThatLieKeepOnlyTheSoundMembers) {
  TempDir dir;
  const std::vector<Member> members = {{"a.jpg", PatternBytes(100, 1)},
                                       {"b.jpg", PatternBytes(200, 2)},
                                       {"c.jpg", PatternBytes(300, 3)}};
  {
    SCOPED_TRACE("directory offset beyond the file");
    Built built = Build(members);
    Patch32(built.bytes, built.end_record_offset + 16, 0x7FFFFFF0);
    const ZipCentralDirectory directory = ReadDirectory(dir, built.bytes);
    EXPECT_EQ(directory.status, ZipDirectoryStatus::kDamaged);
    EXPECT_TRUE(directory.members.empty());
  }
  {
    SCOPED_TRACE("directory size running into the end record");
    Built built = Build(members);
    Patch32(built.bytes, built.end_record_offset + 12, 0xFFFFFF);
    EXPECT_TRUE(ReadDirectory(dir, built.bytes).members.empty());
  }
  {
    SCOPED_TRACE("a count larger than the entries");
    Built built = Build(members);
    Patch16(built.bytes, built.end_record_offset + 10, 60000);
    const ZipCentralDirectory directory = ReadDirectory(dir, built.bytes);
    EXPECT_EQ(directory.status, ZipDirectoryStatus::kDamaged);
    EXPECT_EQ(Names(directory), (std::vector<std::string>{"a.jpg", "b.jpg", "c.jpg"}));
  }
  {
    SCOPED_TRACE("a count smaller than the entries");
    Built built = Build(members);
    Patch16(built.bytes, built.end_record_offset + 10, 2);
    EXPECT_EQ(Names(ReadDirectory(dir, built.bytes)), (std::vector<std::string>{"a.jpg", "b.jpg"}));
  }
  {
    SCOPED_TRACE("a member whose data would run into the directory, one whose name runs out");
    Built built = Build(members);
    Patch32(built.bytes, built.central_headers[0] + 42,
            static_cast<std::uint32_t>(built.directory_offset - 10));
    Patch32(built.bytes, built.central_headers[1] + 20, 0x7FFFFFFF);
    Patch16(built.bytes, built.central_headers[2] + 28, 0xFFFF);
    const ZipCentralDirectory directory = ReadDirectory(dir, built.bytes);
    EXPECT_EQ(directory.status, ZipDirectoryStatus::kDamaged);
    EXPECT_TRUE(directory.members.empty());
  }
  {
    SCOPED_TRACE("ZIP64 values marked but missing, a locator pointing past itself");
    Built built = Build(members);
    Patch32(built.bytes, built.central_headers[1] + 24, 0xFFFFFFFF);
    EXPECT_EQ(Names(ReadDirectory(dir, built.bytes)), (std::vector<std::string>{"a.jpg", "c.jpg"}));
    Member big{"z.jpg", PatternBytes(50, 1)};
    big.zip64 = true;
    Built zip64 = Build({big}, Layout{true, ""});
    const std::size_t locator = zip64.end_record_offset - 20;
    Patch32(zip64.bytes, locator + 8, static_cast<std::uint32_t>(locator));
    const ZipCentralDirectory directory = ReadDirectory(dir, zip64.bytes);
    EXPECT_EQ(directory.status, ZipDirectoryStatus::kDamaged);
    EXPECT_TRUE(directory.members.empty());
  }
}

TEST(ZipMemberPath, SplitsAtTheFirstRegularFile) {
  TempDir dir;
  ASSERT_TRUE(WriteFileBytes(dir.File("comic.cbz"), {1, 2, 3}));
  const auto split = SplitArchiveMemberPath(dir.File("comic.cbz/ch1/p01.jpg"));
  ASSERT_TRUE(split.has_value());
  EXPECT_EQ(split->archive, dir.File("comic.cbz"));
  EXPECT_EQ(split->member, "ch1/p01.jpg");
  EXPECT_FALSE(SplitArchiveMemberPath(dir.File("comic.cbz")).has_value());
  EXPECT_FALSE(SplitArchiveMemberPath(dir.File("comic.cbz/")).has_value());
  EXPECT_FALSE(SplitArchiveMemberPath(dir.File("missing.zip/p.jpg")).has_value());
  EXPECT_FALSE(SplitArchiveMemberPath(dir.path() + "/").has_value());
}

TEST(ZipMemberPath, OpensOnlyMembersTheDirectoryNamesAndReadsUnreadableOnesAsErrors) {
  TempDir dir;
  Member encrypted{"locked.jpg", PatternBytes(10, 1), 0, 1};
  Member odd_method{"odd.jpg", PatternBytes(10, 2), 12};
  Built built = Build({{"ok.jpg", PatternBytes(10, 3)},
                       encrypted,
                       odd_method,
                       {std::string("bell\x07.jpg"), PatternBytes(10, 4), 0}});
  const std::string archive = dir.File("a.zip");
  ASSERT_TRUE(WriteFileBytes(archive, built.bytes));
  EXPECT_EQ(stream_open((archive + "/missing.jpg").c_str(), "rb"), nullptr);
  EXPECT_EQ(stream_open((archive + "/ok.jpg/more").c_str(), "rb"), nullptr);
  // Names are looked up as the list shows them, control bytes replaced.
  EXPECT_EQ(ReadMember(archive + "/bell_.jpg"), PatternBytes(10, 4));
  for (const char* name : {"/locked.jpg", "/odd.jpg"}) {
    InputStreamPtr stream(stream_open((archive + name).c_str(), "rb"));
    ASSERT_NE(stream, nullptr) << name;
    EXPECT_EQ(stream_getc(stream.get()), -1) << name;
    EXPECT_EQ(stream_error(stream.get()), -1) << name;
  }
  // A directory entry that points at something other than a local header.
  Patch32(built.bytes, built.central_headers[0] + 42, 3);
  ASSERT_TRUE(WriteFileBytes(archive, built.bytes));
  InputStreamPtr stream(stream_open((archive + "/ok.jpg").c_str(), "rb"));
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream_getc(stream.get()), -1);
  // A plain file is no archive.
  ASSERT_TRUE(WriteFileBytes(dir.File("plain.jpg"), PatternBytes(100, 5)));
  EXPECT_EQ(stream_open(dir.File("plain.jpg/x.jpg").c_str(), "rb"), nullptr);
}

TEST(ZipMemberPath, OpensWhatInfoZipWritesWithZip64AndDataDescriptors) {
  REQUIRE_PEER_TOOL("zip");
  TempDir dir;
  ASSERT_TRUE(WriteFileBytes(dir.File("p1.jpg"), PatternBytes(30000, 11)));
  ASSERT_TRUE(WriteFileBytes(dir.File("p2.jpg"), PatternBytes(200, 12)));
  for (const char* option : {"-fz", "-fd"}) {
    const std::string archive = dir.File(std::string("x") + option + ".zip");
    ASSERT_EQ(RunCommand("cd " + ShellQuote(dir.path()) + " && zip -q " + option + " " +
                         ShellQuote(archive) + " p1.jpg p2.jpg"),
              0);
    int close_error = -1;
    EXPECT_EQ(ReadMember(archive + "/p1.jpg", &close_error), PatternBytes(30000, 11)) << option;
    EXPECT_EQ(close_error, 0) << option;
    EXPECT_EQ(ReadMember(archive + "/p2.jpg"), PatternBytes(200, 12)) << option;
  }
}

}  // namespace
