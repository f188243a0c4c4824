// Zip and cbz archives as folders in the file list: one entry per readable
// picture member, kept as one sorted group, found by GoTo, and refused by
// the file operations.
#include "files/archive_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/zip_directory_builder.h"
#include "file_list_fixture.h"
#include "files/file_operations.h"
#include "files/file_pkg.h"
#include "files/file_types.h"
#include "settings/profile.h"

namespace {

using zip_builder::Member;

zip_builder::Bytes Data(std::size_t size) {
  return zip_builder::Bytes(size, 0x5A);
}

class ArchiveFolderTest : public FileListTest {
 protected:
  void SetUp() override {
    FileListTest::SetUp();
    settings_.Set(IntKey::ZipAsFolder, 1);
    list_.UseSettings(&settings_);
  }
  std::string MakeArchive(const std::string& name, const std::vector<Member>& members) {
    const std::string path = Path(name);
    EXPECT_TRUE(WriteFileBytes(path, zip_builder::Build(members).bytes));
    return path;
  }
  std::string Comic() {
    Member locked{"p02.jpg", Data(10), 0, 1};
    return MakeArchive("comic.cbz", {{"p03.jpg", Data(10)},
                                     {"P01.JPG", Data(10), 0},
                                     {"notes.txt", Data(10)},
                                     {"extra/", {}, 0},
                                     locked,
                                     {"p04.jpeg", Data(10)},
                                     {"p05.png", Data(10), 14}});
  }
  std::vector<std::string> Sorted() const { return list_.Names(kSortedOrder); }

  TProfile settings_;
  TFilePkg list_;
};

TEST_F(ArchiveFolderTest, PictureMembersBecomeEntriesAndUnreadableOnesAreLogged) {
  CapturedLog log;
  const std::string comic = Comic();
  list_.AddSpec(comic, kAllImageFiles, false, false);
  EXPECT_EQ(Sorted(), (std::vector<std::string>{comic + "/P01.JPG", comic + "/p03.jpg",
                                                comic + "/p04.jpeg"}));
  EXPECT_EQ(list_.Current(), comic + "/P01.JPG");
  EXPECT_EQ(log.lines, (std::vector<std::string>{
                           "Skipped " + comic + "/p02.jpg - it is encrypted.",
                           "Skipped " + comic + "/p05.png - unsupported compression type."}));
}

TEST_F(ArchiveFolderTest, MembersStayOneGroupAmongTheFolderSiblings) {
  Make({"zebra.gif", "comic.gif", "a.gif"});
  const std::string comic = Comic();
  list_.AddSpec(comic, kAllImageFiles, true, false);
  list_.GoTo(comic);
  EXPECT_EQ(Sorted(),
            (std::vector<std::string>{Path("a.gif"), comic + "/P01.JPG", comic + "/p03.jpg",
                                      comic + "/p04.jpeg", Path("comic.gif"), Path("zebra.gif")}));
  EXPECT_EQ(list_.Current(), comic + "/P01.JPG") << "the named archive opens at its first page";
}

TEST_F(ArchiveFolderTest, FolderScansLookIntoArchivesOfTheirClasses) {
  Make({"b.gif"});
  const std::string comic = Comic();
  const std::string sounds = MakeArchive("sounds.zip", {{"a.wav", Data(10)}});
  MakeArchive("names.zip", {{std::string("a\x1b[2J.gif"), Data(10)}});
  list_.AddSpec(Path("*.*"), kAllImageFiles, false, false);
  EXPECT_EQ(Sorted(),
            (std::vector<std::string>{Path("b.gif"), comic + "/P01.JPG", comic + "/p03.jpg",
                                      comic + "/p04.jpeg", Path("names.zip") + "/a_[2J.gif"}))
      << "an archive without pictures is no picture";
  list_.Clear();
  list_.AddSpec(Path("*.*"), kZipFiles, false, false);
  EXPECT_EQ(list_.Count(), 5);
  EXPECT_EQ(Sorted().back(), sounds) << "an archive of other files stays one entry";
}

TEST_F(ArchiveFolderTest, WithoutTheSettingArchivesAreSingleEntries) {
  const std::string comic = Comic();
  const std::string zip = MakeArchive("pics.zip", {{"a.gif", Data(10)}});
  settings_.Set(IntKey::ZipAsFolder, 0);
  list_.AddSpec(comic, kAllImageFiles, false, false);
  list_.AddSpec(Path("*.*"), kAllKnownFiles, false, false);
  EXPECT_EQ(Sorted(), (std::vector<std::string>{comic, zip}));
  TFilePkg unset;
  unset.AddSpec(zip, kAllImageFiles, false, false);
  EXPECT_EQ(unset.Names(kSortedOrder), std::vector<std::string>{zip});
}

TEST_F(ArchiveFolderTest, DamagedArchivesKeepWhatIsSoundOrStayOneEntry) {
  CapturedLog log;
  std::vector<unsigned char> bytes = zip_builder::Build({{"a.jpg", Data(10)}}).bytes;
  bytes.resize(bytes.size() - 22);  // no end record: not readable as a folder
  ASSERT_TRUE(WriteFileBytes(Path("cut.zip"), bytes));
  list_.AddSpec(Path("cut.zip"), kAllImageFiles, false, false);
  EXPECT_EQ(Sorted(), std::vector<std::string>{Path("cut.zip")});

  zip_builder::Built built = zip_builder::Build({{"a.jpg", Data(10)}, {"b.jpg", Data(10)}});
  zip_builder::Patch32(built.bytes, built.central_headers[1] + 42, 0x7FFFFFFF);
  ASSERT_TRUE(WriteFileBytes(Path("half.zip"), built.bytes));
  list_.Clear();
  list_.AddSpec(Path("half.zip"), kAllImageFiles, false, false);
  EXPECT_EQ(Sorted(), std::vector<std::string>{Path("half.zip") + "/a.jpg"});
  EXPECT_EQ(log.lines.back(), Path("half.zip") + " is damaged or needs a newer unzipper.");
}

TEST_F(ArchiveFolderTest, CopyMoveAndDeleteRefuseMembersAndTouchNothing) {
  CapturedLog log;
  const std::string comic = Comic();
  const std::vector<unsigned char> before = ReadFileBytes(comic);
  list_.AddSpec(comic, kAllImageFiles, false, false);
  const std::string member = list_.Current();
  const std::string refusal = RefuseArchiveMember(member);
  EXPECT_NE(refusal.find(member), std::string::npos);
  log.lines.clear();
  EXPECT_FALSE(TransferShownFile(settings_, FileKind::kImage, TransferAction::kMove, member,
                                 Path("moved.jpg")));
  EXPECT_FALSE(DeleteShownFile(list_, member));
  EXPECT_EQ(log.lines, (std::vector<std::string>{refusal, refusal}));
  EXPECT_EQ(ReadFileBytes(comic), before);
  EXPECT_EQ(list_.Count(), 3);
  EXPECT_EQ(ReadFileBytes(Path("moved.jpg")).size(), 0u);
  EXPECT_EQ(settings_.Get(StringKey::MoveImageTo), "") << "nothing remembered for a refusal";
  EXPECT_EQ(RefuseArchiveMember(comic), "");
}

TEST_F(ArchiveFolderTest, MembersAreShownAndSavedBesideTheirArchive) {
  const std::string comic = MakeArchive("comic.cbz", {{"ch1/../../p1.jpg", Data(10)}});
  const std::string member = comic + "/ch1/../../p1.jpg";
  EXPECT_EQ(ArchiveMemberCaptionName(member), "comic.cbz/ch1/../../p1.jpg");
  EXPECT_EQ(PathBesideArchive(member), Path("p1.jpg"));
  EXPECT_EQ(ArchiveMemberCaptionName(comic), "");
  EXPECT_EQ(PathBesideArchive(comic), comic);
  EXPECT_TRUE(IsArchiveMember(member));
  EXPECT_FALSE(IsArchiveMember(Path("comic.cbz")));
}

}  // namespace
