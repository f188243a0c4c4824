#include "archive/input_stream.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "archive_test_support.h"
#include "child_process.h"
#include "support/temp_dir.h"

namespace {

InputStreamPtr OpenBytes(const TempDir& dir, const std::string& name, const Bytes& bytes) {
  const std::string path = dir.File(name);
  EXPECT_TRUE(WriteFileBytes(path, bytes));
  return InputStreamPtr(stream_open(path.c_str(), "rb"));
}

Bytes ReadAllByGetc(InputStream* stream) {
  Bytes out;
  for (int c = stream_getc(stream); c >= 0; c = stream_getc(stream)) {
    out.push_back(static_cast<unsigned char>(c));
  }
  return out;
}

TEST(InputStream, MissingFileOrFolderGivesNull) {
  EXPECT_EQ(stream_open("/nonexistent/zentrope/file.gif", "rb"), nullptr);
  TempDir dir;
  EXPECT_EQ(stream_open(dir.path().c_str(), "rb"), nullptr);
}

TEST(InputStream, EmptyPlainFileEndsAtOnce) {
  TempDir dir;
  auto stream = OpenBytes(dir, "empty.gif", {});
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream_getc(stream.get()), -1);
  EXPECT_EQ(stream_error(stream.get()), 0);
  ZipMemberInfo info{};
  EXPECT_EQ(stream_member_info(stream.get(), &info), -1);
  EXPECT_EQ(stream_close(stream.release()), 0);
}

TEST(InputStream, PlainFileReadsByteExactAcrossPages) {
  TempDir dir;
  const Bytes data = PatternBytes(3 * kStreamPageSize + 17, 1);
  auto stream = OpenBytes(dir, "plain.bin", data);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(ReadAllByGetc(stream.get()), data);
  EXPECT_EQ(stream_tell(stream.get()), static_cast<long>(data.size()));
}

TEST(InputStream, SeekFollowsWhenceRulesAndKeepsPositionOnFailure) {
  TempDir dir;
  const Bytes data = PatternBytes(1000, 2);
  for (const std::uint16_t method : {0, 8}) {
    auto stream = OpenBytes(dir, "m.zip", BuildZip({{"m.bin", data, method}}));
    ASSERT_NE(stream, nullptr);
    for (const long start : {0L, 500L, 1000L}) {
      ASSERT_EQ(stream_seek(stream.get(), start, 0), 0);
      ASSERT_EQ(stream_seek(stream.get(), -769, 2), 0);
      EXPECT_EQ(stream_tell(stream.get()), 231);
    }
    EXPECT_EQ(stream_getc(stream.get()), data[231]);
    EXPECT_EQ(stream_seek(stream.get(), 1, 2), -1);
    EXPECT_EQ(stream_seek(stream.get(), -1, 0), -1);
    EXPECT_EQ(stream_seek(stream.get(), 0, 3), -1);
    EXPECT_EQ(stream_tell(stream.get()), 232);
    EXPECT_EQ(stream_seek(stream.get(), 10, 1), 0);
    EXPECT_EQ(stream_tell(stream.get()), 242);
    // A failed seek is no error.
    EXPECT_EQ(stream_error(stream.get()), 0);
  }
}

TEST(InputStream, BlockReadAfterInlineReadsStartsAtTheCursor) {
  TempDir dir;
  const Bytes data = PatternBytes(100000, 3);
  auto stream = OpenBytes(dir, "mix.zip", BuildZip({{"mix.bin", data}}));
  ASSERT_NE(stream, nullptr);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(stream_getc(stream.get()), data[i]);
  Bytes block(5);
  ASSERT_EQ(stream_read(block.data(), 1, block.size(), stream.get()), 5u);
  EXPECT_EQ(block, Bytes(data.begin() + 3, data.begin() + 8));
  EXPECT_EQ(stream_getc(stream.get()), data[8]);
  // Whole items only, clipped to what is left.
  ASSERT_EQ(stream_seek(stream.get(), -10, 2), 0);
  Bytes tail(12);
  EXPECT_EQ(stream_read(tail.data(), 4, 3, stream.get()), 2u);
  EXPECT_EQ(stream_tell(stream.get()), 99998);
}

TEST(InputStream, DeflatedMemberEndsCleanWhenCrcMatchesOnly) {
  TempDir dir;
  const Bytes data = PatternBytes(70000, 4);
  {
    auto stream = OpenBytes(dir, "good.zip", BuildZip({{"good.bin", data}}));
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(ReadAllByGetc(stream.get()), data);
    EXPECT_EQ(stream_close(stream.release()), 0);
  }
  {
    ZipEntry bad{"bad.bin", data};
    bad.corrupt_crc = true;
    auto stream = OpenBytes(dir, "bad.zip", BuildZip({bad}));
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(ReadAllByGetc(stream.get()), data);
    EXPECT_EQ(stream_close(stream.release()), 1);
  }
  {
    auto stream = OpenBytes(dir, "half.zip", BuildZip({{"half.bin", data}}));
    ASSERT_NE(stream, nullptr);
    Bytes half(data.size() / 2);
    EXPECT_EQ(stream_read(half.data(), 1, half.size(), stream.get()), half.size());
    EXPECT_EQ(stream_close(stream.release()), 1);
  }
}

TEST(InputStream, StoredMemberIsReadFromTheArchiveWithoutCrcCheck) {
  TempDir dir;
  ZipEntry stored{"s.bin", PatternBytes(5000, 5), 0};
  stored.corrupt_crc = true;
  auto stream = OpenBytes(dir, "s.zip", BuildZip({stored}));
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(ReadAllByGetc(stream.get()), stored.data);
  EXPECT_EQ(stream_close(stream.release()), 0);
}

TEST(InputStream, UnreadableMembersOpenInErrorAndWalkOn) {
  TempDir dir;
  ZipEntry shrunk{"old.bin", Bytes(100, 'x'), 6};
  ZipEntry encrypted{"secret.bin", Bytes(100, 'y'), 0};
  encrypted.flags = 1;
  ZipEntry fine{"fine.bin", Bytes(10, 'z'), 0};
  auto stream = OpenBytes(dir, "odd.zip", BuildZip({shrunk, encrypted, fine}));
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream_getc(stream.get()), -1);
  EXPECT_EQ(stream_error(stream.get()), -1);
  EXPECT_EQ(stream_tell(stream.get()), -1);
  EXPECT_EQ(stream_next_member(stream.get()), 0);
  Bytes buffer(10);
  EXPECT_EQ(stream_read(buffer.data(), 1, 10, stream.get()), 0u);
  EXPECT_EQ(stream_seek(stream.get(), 0, 0), -1);
  EXPECT_EQ(stream_next_member(stream.get()), 0);
  EXPECT_EQ(ReadAllByGetc(stream.get()), fine.data);
  EXPECT_EQ(stream_next_member(stream.get()), -1);
  ZipMemberInfo info{};
  EXPECT_EQ(stream_member_info(stream.get(), &info), -1);
}

TEST(InputStream, MemberInfoReportsTheLocalHeader) {
  TempDir dir;
  const std::vector<ZipEntry> entries = {{"A/One.GIF", Bytes(300, 1), 8}, {"two", {}, 0}};
  auto stream = OpenBytes(dir, "info.zip", BuildZip(entries));
  ASSERT_NE(stream, nullptr);
  ZipMemberInfo info{};
  ASSERT_EQ(stream_member_info(stream.get(), &info), 0);
  EXPECT_EQ(info.signature, kZipLocalHeaderSignature);
  EXPECT_EQ(info.method, 8u);
  EXPECT_EQ(info.size, 300u);
  EXPECT_EQ(info.crc, zip_builder::Crc(entries[0].data));
  EXPECT_EQ(info.date, entries[0].dos_date);
  EXPECT_STREQ(info.name, "A/One.GIF");
  EXPECT_EQ(std::string(info.path), dir.File("info.zip"));
  EXPECT_EQ(stream_next_member(stream.get()), 0);
  ASSERT_EQ(stream_member_info(stream.get(), &info), 0);
  EXPECT_STREQ(info.name, "two");
  EXPECT_EQ(stream_getc(stream.get()), -1);
}

TEST(InputStream, DeferredSizesReadEmptyAndEndTheWalk) {
  TempDir dir;
  Bytes zip = BuildZip({{"later.bin", PatternBytes(2000, 6), 0}, {"next.bin", Bytes(5, 1), 0}});
  // Zero the sizes as a streaming writer would (bit 3, data descriptor).
  zip[6] = 8;
  std::fill(zip.begin() + 18, zip.begin() + 26, 0);
  auto stream = OpenBytes(dir, "deferred.zip", zip);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream_getc(stream.get()), -1);
  EXPECT_EQ(stream_error(stream.get()), 0);
  EXPECT_EQ(stream_next_member(stream.get()), -1);
  ZipMemberInfo info{};
  EXPECT_EQ(stream_member_info(stream.get(), &info), -1);
}

TEST(InputStream, HostileHeadersNeverReadOutsideOrLoop) {
  TempDir dir;
  // A compressed size that wraps the next header's offset back to the start.
  Bytes wrap = BuildZip({{"w.bin", Bytes(10, 1), 0}});
  const std::uint32_t wrap_size = 0xFFFFFFFFu - 30 - 5 + 1;
  for (int i = 0; i < 4; ++i) wrap[18 + i] = static_cast<unsigned char>(wrap_size >> (8 * i));
  auto stream = OpenBytes(dir, "wrap.zip", wrap);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream_next_member(stream.get()), -1);
  ZipMemberInfo info{};
  EXPECT_EQ(stream_member_info(stream.get(), &info), -1);

  // A name longer than the file, and a stored size past its end.
  Bytes cut = BuildZip({{"n.bin", Bytes(10, 1), 0}});
  cut[26] = 0xFF;
  cut[27] = 0xFF;
  auto named = OpenBytes(dir, "cut.zip", cut);
  ASSERT_NE(named, nullptr);
  EXPECT_EQ(stream_getc(named.get()), -1);
  Bytes big = BuildZip({{"b.bin", Bytes(10, 1), 0}});
  big[24] = 0x10;  // size 1 MB, compressed size still 10
  auto sized = OpenBytes(dir, "big.zip", big);
  ASSERT_NE(sized, nullptr);
  Bytes buffer(4096);
  EXPECT_EQ(stream_read(buffer.data(), 1, buffer.size(), sized.get()), 0u);
  EXPECT_EQ(stream_error(sized.get()), -1);
}

TEST(InputStream, DeflateBombIsRefusedBeforeInflating) {
  TempDir dir;
  const Bytes zeros(4 << 20, 0);
  Bytes zip = BuildZip({{"bomb.bin", zeros}});
  // Claim far more than deflate can produce from the compressed bytes.
  const std::uint32_t claimed = 0xF0000000u;
  for (int i = 0; i < 4; ++i) zip[22 + i] = static_cast<unsigned char>(claimed >> (8 * i));
  auto stream = OpenBytes(dir, "bomb.zip", zip);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream_getc(stream.get()), -1);
  EXPECT_EQ(stream->consumed, 0u);
  EXPECT_EQ(stream_error(stream.get()), -1);

  // A member inflating to more than its declared size stops at that size.
  Bytes liar = BuildZip({{"liar.bin", zeros}});
  const std::uint32_t small = 300000;
  for (int i = 0; i < 4; ++i) liar[22 + i] = static_cast<unsigned char>(small >> (8 * i));
  auto lying = OpenBytes(dir, "liar.zip", liar);
  ASSERT_NE(lying, nullptr);
  EXPECT_EQ(ReadAllByGetc(lying.get()).size(), 0u);
  EXPECT_EQ(stream_error(lying.get()), -1);
}

TEST(InputStream, CorruptDeflateDataIsAnError) {
  TempDir dir;
  Bytes zip = BuildZip({{"c.bin", PatternBytes(50000, 7)}});
  for (std::size_t i = 40; i < 200; ++i) zip[i] ^= 0x5A;
  auto stream = OpenBytes(dir, "corrupt.zip", zip);
  ASSERT_NE(stream, nullptr);
  ReadAllByGetc(stream.get());
  EXPECT_EQ(stream_error(stream.get()), -1);
  EXPECT_EQ(stream_close(stream.release()), 1);
}

TEST(InputStream, LargeMemberSeeksBackWithoutInflatingAgain) {
  TempDir dir;
  const Bytes data = PatternBytes(900000, 8);  // beyond the in-memory limit: a temporary file
  auto stream = OpenBytes(dir, "large.zip", BuildZip({{"large.bin", data}}));
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(ReadAllByGetc(stream.get()), data);
  const std::uint32_t consumed = stream->consumed;
  EXPECT_GE(stream->backing, 0);
  for (const long at : {0L, 123456L, 899999L, 32768L}) {
    ASSERT_EQ(stream_seek(stream.get(), at, 0), 0);
    EXPECT_EQ(stream_getc(stream.get()), data[static_cast<std::size_t>(at)]);
  }
  EXPECT_EQ(stream->consumed, consumed);
  EXPECT_EQ(stream_close(stream.release()), 0);
}

TEST(InputStream, FirstBytesOfAHugeMemberInflateOnlyTheFirstPage) {
  TempDir dir;
  // 100 MB of noisy bytes: each 8 KB of input inflates to about 16 KB.
  const std::size_t size = 100u << 20;
  const Bytes data = PatternBytes(size, 9);
  auto stream = OpenBytes(dir, "huge.zip", BuildZip({{"huge.bin", data, 8}}));
  ASSERT_NE(stream, nullptr);
  Bytes first(6);
  ASSERT_EQ(stream_read(first.data(), 1, 6, stream.get()), 6u);
  EXPECT_EQ(first, Bytes(data.begin(), data.begin() + 6));
  // The first page needs about 16 KB of input; a chunk more is the most allowed.
  EXPECT_LE(stream->consumed, 16384u + kStreamInputChunk);
  EXPECT_LE(stream->produced, 2 * kStreamPageSize + 65536u);
}

TEST(InputStream, OnlyRegularFilesOpenAndNoneBlocks) {
  TempDir dir;
  ASSERT_EQ(mkfifo(dir.File("pipe.gif").c_str(), 0644), 0);
  // In a child, so that an open that blocks fails the test instead of hanging it.
  const int status = RunInChild({}, [&] {
    const bool pipe_opened = stream_open(dir.File("pipe.gif").c_str(), "rb") != nullptr;
    const bool device_opened = stream_open("/dev/null", "rb") != nullptr;
    return pipe_opened || device_opened ? 1 : 0;
  });
  EXPECT_EQ(status, 0);
}

TEST(InputStream, DecodedTextThatCannotBeKeptIsAnError) {
  TempDir dir;
  // 200,000 bytes of uuencoded text decode into a temporary file the size
  // limit cuts short.
  std::string text = "begin 644 big.bin\n";
  const std::string full_line = "M" + std::string(60, '!') + "\n";
  for (int i = 0; i < 200000 / 45; ++i) text += full_line;
  text += "`\nend\n";
  WriteFileText(dir.File("big.uue"), text);
  const int status = RunInChild(WithFileSizeLimit(100000), [&] {
    InputStream* stream = stream_open(dir.File("big.uue").c_str(), "rb");
    if (!stream) return 2;
    Bytes buffer(300000);
    const std::size_t got = stream_read(buffer.data(), 1, buffer.size(), stream);
    const int error = stream_error(stream);
    stream_close(stream);
    return got == 0 && error == -1 ? 0 : 1;
  });
  EXPECT_EQ(status, 0);
}

}  // namespace
