// Decode, Encode, Unzip and Zip info from the File menu: the dialogs they
// show, the log they open and fill, and how a failed write reaches the user.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/command_ids.h"
#include "command_window_fixture.h"
#include "support/child_process.h"

namespace {

using Bytes = std::vector<unsigned char>;

// "abc" as one uuencoded file that names pic.gif.
constexpr char kEncodedAbc[] = "begin 644 pic.gif\n#86)C\n`\nend\n";

void PutLe(Bytes& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// A zip of stored members, each dated 2001-03-05 14:07, ended by an empty
// central directory's end record.
Bytes StoredZip(const std::vector<std::pair<std::string, std::string>>& members) {
  constexpr std::uint32_t kTime = (14u << 11) | (7u << 5);
  constexpr std::uint32_t kDate = ((2001u - 1980u) << 9) | (3u << 5) | 5u;
  Bytes zip;
  for (const auto& [name, data] : members) {
    const auto* bytes = reinterpret_cast<const Bytef*>(data.data());
    const auto crc = static_cast<std::uint32_t>(crc32(0, bytes, static_cast<uInt>(data.size())));
    PutLe(zip, 0x04034b50, 4);
    PutLe(zip, 20, 2);
    PutLe(zip, 0, 2);
    PutLe(zip, 0, 2);
    PutLe(zip, kTime, 2);
    PutLe(zip, kDate, 2);
    PutLe(zip, crc, 4);
    PutLe(zip, static_cast<std::uint32_t>(data.size()), 4);
    PutLe(zip, static_cast<std::uint32_t>(data.size()), 4);
    PutLe(zip, static_cast<std::uint32_t>(name.size()), 2);
    PutLe(zip, 0, 2);
    zip.insert(zip.end(), name.begin(), name.end());
    zip.insert(zip.end(), data.begin(), data.end());
  }
  PutLe(zip, 0x06054b50, 4);
  zip.resize(zip.size() + 18, 0);
  return zip;
}

bool Exists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

// What a child process found; 77 when it could not give up root's rights.
constexpr int kNoUnprivilegedUser = 77;

class ArchiveCommandsTest : public CommandWindowTest {
 protected:
  // A folder the unprivileged user may read but not write, holding `name`.
  std::string ReadOnlyFolderWith(const std::string& name, const Bytes& bytes) {
    const std::string folder = dir_.File("ro");
    EXPECT_EQ(mkdir(folder.c_str(), 0755), 0);
    EXPECT_TRUE(WriteFileBytes(folder + "/" + name, bytes));
    EXPECT_EQ(chmod(dir_.path().c_str(), 0755), 0);
    EXPECT_EQ(chmod(folder.c_str(), 0555), 0);
    return folder;
  }

  // Runs `body` as a user to whom file permissions apply; its result, or
  // kNoUnprivilegedUser.
  int RunUnprivileged(const std::function<bool()>& body) {
    return RunInChildProcess([&] {
      if (!DropFileAccessPrivileges()) return kNoUnprivilegedUser;
      return body() ? 0 : 1;
    });
  }

  bool ErrorBoxShown() {
    for (const DialogRecord& record : Shown()) {
      if (record.kind == DialogKind::kMessageBox && record.caption == "Error") return true;
    }
    return false;
  }
};

TEST_F(ArchiveCommandsTest, DecodeOpensTheLogAndWritesTheFileBesideTheText) {
  WriteFileText(dir_.File("pic.uue"), kEncodedAbc);
  Start({});
  ASSERT_EQ(Settings().Get(IntKey::ShowLog), 0);
  Answer(ScriptedAnswer::Open(dir_.path(), {"pic.uue"}));
  Press('D');
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Shown()[0].caption, "Decode");
  EXPECT_EQ(Settings().Get(IntKey::ShowLog), 1);
  EXPECT_TRUE(window_->LogWindow()->IsShown());
  EXPECT_TRUE(LogHas("Decoding " + dir_.File("pic.uue")));
  EXPECT_TRUE(LogHas("Created " + dir_.File("pic.gif")));
  EXPECT_EQ(ReadFileText(dir_.File("pic.gif")), "abc");
}

TEST_F(ArchiveCommandsTest, DecodeIntoAnUnwritableFolderSaysSoAndNeverCreated) {
  const std::string text = kEncodedAbc;
  const std::string folder = ReadOnlyFolderWith("pic.uue", Bytes(text.begin(), text.end()));
  const int status = RunUnprivileged([&] {
    Start({});
    Answer(ScriptedAnswer::Open(folder, {"pic.uue"}));
    Press('D');
    return LogHas("Did not create " + folder + "/pic.gif") && !LogHas("Created") && ErrorBoxShown();
  });
  chmod(folder.c_str(), 0755);
  if (status == kNoUnprivilegedUser) GTEST_SKIP() << "no unprivileged user to run as";
  EXPECT_EQ(status, 0);
  EXPECT_FALSE(Exists(folder + "/pic.gif"));
}

TEST_F(ArchiveCommandsTest, EncodeRefusesAFileNamedLikeItsOwnSection) {
  WriteFileText(dir_.File("post.uu1"), "text that must survive");
  WriteFileText(dir_.File("data.bin"), "abc");
  Start({}, [](TProfile& settings) { settings.Set(IntKey::EncodeLines, 10); });
  Answer(ScriptedAnswer::Open(dir_.path(), {"post.uu1", "data.bin"}));
  Press('E');
  ASSERT_EQ(Shown().size(), 2u);
  EXPECT_EQ(Shown()[0].caption, "Encode");
  EXPECT_EQ(Shown()[1].caption, "Error");
  EXPECT_NE(Shown()[1].texts.at(0).find(dir_.File("post.uu1")), std::string::npos);
  EXPECT_EQ(ReadFileText(dir_.File("post.uu1")), "text that must survive");
  EXPECT_FALSE(LogHas("Encoding " + dir_.File("post.uu1")));
  // The rest of the selection is still encoded.
  EXPECT_TRUE(LogHas("Created " + dir_.File("data.uu1")));
  EXPECT_NE(ReadFileText(dir_.File("data.uu1")).find("begin 644 data.bin\n#86)C\n`\nend\n"),
            std::string::npos);
  EXPECT_EQ(Settings().Get(IntKey::ShowLog), 1);
}

TEST_F(ArchiveCommandsTest, UnzipAsksForTheFolderAndWritesTheMembersThere) {
  WriteFileBytes(dir_.File("a.zip"), StoredZip({{"DIR/Sub/Pic.GIF", "picture"}, {"b.txt", "bee"}}));
  ASSERT_EQ(mkdir(dir_.File("out").c_str(), 0755), 0);
  Start({});
  Answer(ScriptedAnswer::Open(dir_.path(), {"a.zip"}));
  Answer(ScriptedAnswer::Text(dir_.File("out")));
  Press('U');
  ASSERT_EQ(Shown().size(), 2u);
  EXPECT_EQ(Shown()[0].caption, "Unzip");
  EXPECT_EQ(Shown()[1].texts.at(0), "Directory to create files in:");
  EXPECT_EQ(Shown()[1].texts.at(1), dir_.path() + "/");
  EXPECT_EQ(ReadFileText(dir_.File("out/pic.gif")), "picture");
  EXPECT_EQ(ReadFileText(dir_.File("out/b.txt")), "bee");
  EXPECT_TRUE(LogHas("Created " + dir_.File("out/pic.gif")));
  EXPECT_EQ(Settings().Get(IntKey::ShowLog), 1);
}

TEST_F(ArchiveCommandsTest, UnzipIntoAFolderThatCannotBeWrittenSaysSo) {
  WriteFileBytes(dir_.File("a.zip"), StoredZip({{"pic.gif", "picture"}}));
  Start({});
  Answer(ScriptedAnswer::Open(dir_.path(), {"a.zip"}));
  Answer(ScriptedAnswer::Text(dir_.File("missing")));
  Press('U');
  EXPECT_FALSE(LogHas("Created"));
  EXPECT_TRUE(LogHas(dir_.File("missing/pic.gif")));
  EXPECT_TRUE(ErrorBoxShown());

  const std::string folder = ReadOnlyFolderWith("a.zip", StoredZip({{"pic.gif", "picture"}}));
  const int status = RunUnprivileged([&] {
    backend_->ScriptedDialogs().ClearRecord();
    Answer(ScriptedAnswer::Open(folder, {"a.zip"}));
    Answer(ScriptedAnswer::Text(""));  // the archive's own folder
    Press('U');
    return !LogHas("Created") && ErrorBoxShown();
  });
  chmod(folder.c_str(), 0755);
  if (status == kNoUnprivilegedUser) GTEST_SKIP() << "no unprivileged user to run as";
  EXPECT_EQ(status, 0);
  EXPECT_FALSE(Exists(folder + "/pic.gif"));
}

TEST_F(ArchiveCommandsTest, ZipInfoListsTheMembersInTheLog) {
  WriteFileBytes(dir_.File("a.zip"), StoredZip({{"DIR/Sub/Pic.GIF", "picture"}}));
  Start({});
  Answer(ScriptedAnswer::Open(dir_.path(), {"a.zip"}));
  Press('I');
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Shown()[0].caption, "Zip Info");
  EXPECT_TRUE(LogHas("Zip Info for " + dir_.File("a.zip")));
  EXPECT_TRUE(LogHas("Length  Date     Time  Name"));
  EXPECT_TRUE(LogHas("      7 03-05-01 14:07 pic.gif"));
  EXPECT_EQ(Settings().Get(IntKey::ShowLog), 1);
  EXPECT_FALSE(ErrorBoxShown());
}

TEST_F(ArchiveCommandsTest, CancelledChoicesLeaveTheLogClosed) {
  Start({});
  for (std::uint32_t id : {CM_DECODE, CM_ENCODE, CM_UNZIP, CM_ZIP_INFO}) {
    Answer(ScriptedAnswer::Cancel(DialogKind::kOpenFile));
    EXPECT_TRUE(Choose(id)) << id;
  }
  EXPECT_EQ(Shown().size(), 4u);
  EXPECT_EQ(Settings().Get(IntKey::ShowLog), 0);
  EXPECT_EQ(ScriptLeft(), 0u);
}

}  // namespace
