// A comic archive as a folder of pictures in the main window: each page in
// turn with its "archive/member" caption, converted beside the archive, and
// refused by copy, move and delete.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/command_ids.h"
#include "archive/zip_directory_builder.h"
#include "command_window_fixture.h"

namespace {

constexpr int kPages = 5;

class ArchiveFolderWindowTest : public CommandWindowTest {
 protected:
  // Pages p1.jpg .. p5.jpg, 60 + page pixels wide, stored, deflated and with
  // data descriptors in turn, and a text member that is no page.
  std::string MakeComic() {
    std::vector<zip_builder::Member> members{{"readme.txt", {'h', 'i'}}};
    for (int page = kPages; page >= 1; --page) {
      const std::string name = PageName(page);
      const std::string loose = WritePicture(name, 60 + page, 48, page * 4);
      zip_builder::Member member{name, ReadFileBytes(loose)};
      member.method = page % 2 == 0 ? 0 : 8;
      member.data_descriptor = page == 3;
      members.push_back(member);
      std::filesystem::remove(loose);
    }
    const std::string path = dir_.File("comic.cbz");
    EXPECT_TRUE(WriteFileBytes(path, zip_builder::Build(members).bytes));
    return path;
  }
  static std::string PageName(int page) { return "p" + std::to_string(page) + ".jpg"; }
  static std::string PageCaption(int page) {
    return "[comic.cbz/" + PageName(page) + "] (" + std::to_string(60 + page) + "x48x";
  }
  std::string Caption() { return window_->MainWindow().Caption(); }
  void StartWithFolders(std::vector<std::string> arguments) {
    Start(std::move(arguments), [](TProfile& settings) { settings.Set(IntKey::ZipAsFolder, 1); });
  }
};

TEST_F(ArchiveFolderWindowTest, NextStepsThroughEveryPageAndPreviousComesBack) {
  const std::string comic = MakeComic();
  StartWithFolders({comic});
  ASSERT_EQ(window_->Files().Count(), kPages);
  EXPECT_NE(Caption().find(PageCaption(1)), std::string::npos) << Caption();
  for (int page = 2; page <= kPages; ++page) {
    Command(CM_NEXT);
    EXPECT_NE(Caption().find(PageCaption(page)), std::string::npos) << Caption();
  }
  Command(CM_NEXT);
  EXPECT_NE(Caption().find(PageCaption(1)), std::string::npos) << "the list wraps round";
  Command(CM_PREVIOUS);
  EXPECT_NE(Caption().find(PageCaption(kPages)), std::string::npos) << Caption();
  EXPECT_EQ(ImageName(), PageName(kPages));
}

TEST_F(ArchiveFolderWindowTest, WithoutTheSettingTheArchiveShowsAsOneFile) {
  const std::string comic = MakeComic();
  Start({comic});
  EXPECT_EQ(window_->Files().Count(), 1);
  EXPECT_EQ(window_->Files().Current(), comic);
}

TEST_F(ArchiveFolderWindowTest, CopyMoveAndDeleteRefuseAPageAndTouchNothing) {
  const std::string comic = MakeComic();
  const std::vector<unsigned char> before = ReadFileBytes(comic);
  StartWithFolders({comic});
  const std::string page = window_->Files().Current();
  ForgetDialogs();
  Press(kVkInsert);             // copy
  Press(kVkInsert, kShiftKey);  // move
  ASSERT_TRUE(Choose(CM_DELETE_IMAGE));
  ASSERT_EQ(Shown().size(), 3u) << "no destination or confirmation is asked";
  for (const DialogRecord& shown : Shown()) {
    EXPECT_EQ(shown.caption, "Error");
    EXPECT_NE(shown.texts.at(0).find(page + " is inside an archive"), std::string::npos);
  }
  EXPECT_TRUE(LogHas(page + " is inside an archive"));
  EXPECT_EQ(ReadFileBytes(comic), before);
  EXPECT_EQ(window_->Files().Count(), kPages);
  EXPECT_EQ(window_->Files().Current(), page);
}

TEST_F(ArchiveFolderWindowTest, AConversionRunWritesEachPageBesideTheArchive) {
  const std::string comic = MakeComic();
  StartWithFolders({"-ConvertToBMP", comic});
  Run();
  EXPECT_TRUE(window_->IsClosed());
  ASSERT_NE(window_->BatchRun(), nullptr);
  EXPECT_EQ(window_->BatchRun()->Handled(), kPages);
  EXPECT_FALSE(window_->BatchRun()->AnyFailed());
  for (int page = 1; page <= kPages; ++page) {
    EXPECT_TRUE(std::filesystem::exists(dir_.File("p" + std::to_string(page) + ".bmp"))) << page;
  }
}

}  // namespace
