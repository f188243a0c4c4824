// Copy, move and delete of the shown file, Delete files and Go to slide,
// with their questions answered from a script.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/command_ids.h"
#include "command_window_fixture.h"
#include "files/file_pkg.h"
#include "platform/virtual_keys.h"

namespace {

bool Exists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

class FileOperationCommandsTest : public CommandWindowTest {
 protected:
  void SetUp() override {
    CommandWindowTest::SetUp();
    ASSERT_EQ(mkdir(dir_.File("sorted").c_str(), 0755), 0);
  }
  const DialogRecord& LastShown() { return Shown().back(); }
};

TEST_F(FileOperationCommandsTest, CopyImageAsksWithTheSourceAndRemembersTheAnswer) {
  const std::string source = WritePicture("cat.bmp");
  Start({source});
  const std::string destination = dir_.File("sorted/cat.bmp");
  Answer(ScriptedAnswer::Text(destination));
  Press(kVkInsert);
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(LastShown().caption, "Input");
  EXPECT_EQ(LastShown().texts.at(0), "Copy " + source + " to:");
  EXPECT_EQ(LastShown().texts.at(1), source) << "with nothing remembered the source is suggested";
  EXPECT_EQ(ReadFileBytes(destination), ReadFileBytes(source));
  EXPECT_TRUE(LogHas("Copied " + source + " to " + destination));
  EXPECT_EQ(Settings().Get(StringKey::CopyImageTo), destination);

  // The next copy suggests the remembered folder with the new source's name.
  const std::string dog = WritePicture("dog.bmp");
  window_->Files().AddSpec(dog, 14, false, false);
  window_->Files().GoTo("dog.bmp");
  window_->LoadCurrent();
  Answer(ScriptedAnswer::Cancel(DialogKind::kCustom));
  ASSERT_TRUE(Choose(CM_COPY_IMAGE_TO));
  EXPECT_EQ(LastShown().texts.at(1), dir_.File("sorted/dog.bmp"));
  EXPECT_FALSE(Exists(dir_.File("sorted/dog.bmp")));
}

TEST_F(FileOperationCommandsTest, MoveImageTakesTheFileAwayButKeepsItListed) {
  const std::string source = WritePicture("cat.bmp");
  Start({source});
  const std::string destination = dir_.File("sorted/cat.bmp");
  Answer(ScriptedAnswer::Text(destination));
  Press(kVkInsert, kShiftKey);
  EXPECT_EQ(LastShown().texts.at(0), "Move " + source + " to:");
  EXPECT_FALSE(Exists(source));
  EXPECT_TRUE(Exists(destination));
  EXPECT_EQ(Settings().Get(StringKey::MoveImageTo), destination);
  EXPECT_EQ(window_->Files().Current(), source);
}

TEST_F(FileOperationCommandsTest, CopyOrMoveToAFailingDestinationKeepsTheSource) {
  const std::string source = WritePicture("cat.bmp");
  const std::vector<unsigned char> bytes = ReadFileBytes(source);
  Start({source});
  const std::string nowhere = dir_.File("missing/cat.bmp");
  Answer(ScriptedAnswer::Text(nowhere));
  Press(kVkInsert);
  EXPECT_TRUE(LogHas("Error occurred while copying " + source + " to " + nowhere));
  Answer(ScriptedAnswer::Text(nowhere));
  Press(kVkInsert, kShiftKey);
  EXPECT_EQ(ReadFileBytes(source), bytes);
  EXPECT_FALSE(Exists(dir_.File("missing")));
  EXPECT_FALSE(LogHas("Deleted " + source));
  EXPECT_EQ(Settings().Get(StringKey::MoveImageTo), nowhere) << "remembered whatever the outcome";
}

TEST_F(FileOperationCommandsTest, DeleteImageOnTheOnlyEntryLeavesNoFile) {
  const std::string source = WritePicture("only.bmp");
  Start({source});
  Answer(ScriptedAnswer::Box(DialogAnswer::kYes));
  Press(kVkDelete);
  ASSERT_FALSE(Shown().empty());
  EXPECT_EQ(LastShown().caption, "Confirm");
  EXPECT_EQ(LastShown().texts.at(0), "Are you sure you want to delete " + source + "?");
  EXPECT_EQ(LastShown().buttons, MessageBoxButtons::kYesNo);
  EXPECT_FALSE(Exists(source));
  EXPECT_EQ(ImageName(), "No File");
  EXPECT_EQ(window_->Files().Count(), 0);
  EXPECT_EQ(window_->MainWindow().Caption(),
            "Zentrope - Use File|Open... to select files, press F1 for help");
}

TEST_F(FileOperationCommandsTest, DeleteAnsweredNoKeepsTheFile) {
  const std::string source = WritePicture("keep.bmp");
  Start({source});
  Answer(ScriptedAnswer::Box(DialogAnswer::kNo));
  ASSERT_TRUE(Choose(CM_DELETE_IMAGE));
  EXPECT_TRUE(Exists(source));
  EXPECT_EQ(ImageName(), "keep.bmp");
}

TEST_F(FileOperationCommandsTest, SoundAndMovieCommandsAskNothingWhileNoneIsShown) {
  Start({WritePicture("pic.bmp")});
  for (std::uint32_t id : {CM_COPY_SOUND_TO, CM_COPY_MOVIE_TO, CM_MOVE_SOUND_TO, CM_MOVE_MOVIE_TO,
                           CM_DELETE_SOUND, CM_DELETE_MOVIE}) {
    EXPECT_FALSE(Choose(id)) << id;
  }
  Press(kVkInsert, kCtrlKey);
  Press(kVkDelete, kAltKey);
  EXPECT_TRUE(Shown().empty());
}

TEST_F(FileOperationCommandsTest, DeleteFilesAsksOnceForSeveralAndReloadsWhenTheShownOneWent) {
  const std::string a = WritePicture("a.bmp");
  const std::string b = WritePicture("b.bmp");
  const std::string c = WritePicture("c.bmp");
  const std::string d = WritePicture("d.bmp");
  Start({dir_.path() + "/*.bmp"});
  ASSERT_EQ(ImageName(), "a.bmp");
  Settings().Set(IntKey::DeleteIndex, 2);
  Answer(ScriptedAnswer::Open(dir_.path(), {"a.bmp", "b.bmp", "c.bmp"}, 14));
  Answer(ScriptedAnswer::Box(DialogAnswer::kYes));
  Press(kVkDelete, kShiftKey);
  ASSERT_EQ(Shown().size(), 2u);
  EXPECT_EQ(Shown()[0].caption, "Delete");
  EXPECT_EQ(Shown()[1].texts.at(0), "Are you sure you want to delete these files?");
  EXPECT_EQ(Settings().Get(IntKey::DeleteIndex), 14);
  for (const std::string& gone : {a, b, c}) {
    EXPECT_FALSE(Exists(gone));
    EXPECT_TRUE(LogHas("Deleted " + gone));
  }
  EXPECT_EQ(window_->Files().Count(), 1);
  EXPECT_EQ(ImageName(), "d.bmp");
}

TEST_F(FileOperationCommandsTest, DeleteFilesCancelledOrRefusedDeletesNothing) {
  const std::string a = WritePicture("a.bmp");
  Start({a});
  Answer(ScriptedAnswer::Cancel(DialogKind::kOpenFile));
  ASSERT_TRUE(Choose(CM_DELETE_FILES));
  Answer(ScriptedAnswer::Open(dir_.path(), {"a.bmp"}));
  Answer(ScriptedAnswer::Box(DialogAnswer::kNo));
  ASSERT_TRUE(Choose(CM_DELETE_FILES));
  EXPECT_EQ(Shown().back().texts.at(0), "Are you sure you want to delete " + a + "?");
  EXPECT_TRUE(Exists(a));
  EXPECT_EQ(ImageName(), "a.bmp");
}

TEST_F(FileOperationCommandsTest, GoToSlideShowsTheNamedEntry) {
  WritePicture("apple.bmp");
  WritePicture("banana.bmp");
  WritePicture("cherry.bmp");
  Start({dir_.path() + "/*.bmp"});
  ASSERT_EQ(ImageName(), "apple.bmp");
  Answer(ScriptedAnswer::Text("cherry"));
  Press('G');
  EXPECT_EQ(LastShown().texts.at(0), "Go to slide (file name):");
  EXPECT_EQ(ImageName(), "cherry.bmp");
  Answer(ScriptedAnswer::Text(""));
  Press('G');
  EXPECT_EQ(ImageName(), "cherry.bmp");
}

}  // namespace
