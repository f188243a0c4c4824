#include "files/file_operations.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "file_list_fixture.h"
#include "files/file_pkg.h"
#include "settings/profile.h"

using Paths = std::vector<std::string>;

TEST(FileOperations, SuggestionTakesTheRememberedFolderAndTheSourceName) {
  EXPECT_EQ(SuggestDestination("/new/CAT.GIF", "/sorted/dog.gif"), "/sorted/CAT.GIF");
  EXPECT_EQ(SuggestDestination("/new/CAT.GIF", "/sorted/"), "/sorted/CAT.GIF");
  EXPECT_EQ(SuggestDestination("/new/CAT.GIF", ""), "/new/CAT.GIF");
  EXPECT_EQ(SuggestDestination("/new/CAT.GIF", "dog.gif"), "/new/CAT.GIF");
  EXPECT_EQ(TransferPrompt(TransferAction::kMove, "/new/CAT.GIF"), "Move /new/CAT.GIF to:");
}

TEST(FileOperations, QuestionsNameOneFileOrSayTheseFiles) {
  EXPECT_EQ(DeleteQuestion({"/a/b.gif"}), "Are you sure you want to delete /a/b.gif?");
  EXPECT_EQ(DeleteQuestion({"/a/b.gif", "/a/c.gif", "/a/d.gif"}),
            "Are you sure you want to delete these files?");
}

TEST_F(FileListTest, TransferRemembersTheAnswerWhateverTheOutcome) {
  ASSERT_EQ(setenv("ZENTROPE_WINDIR", Path("windir").c_str(), 1), 0);
  Make({"cat.gif", "ring.wav", "sorted/x"});
  TProfile profile;
  CapturedLog log;
  EXPECT_TRUE(TransferShownFile(profile, FileKind::kImage, TransferAction::kMove, Path("cat.gif"),
                                Path("sorted/cat.gif")));
  EXPECT_EQ(profile.Get(StringKey::MoveImageTo), Path("sorted/cat.gif"));
  EXPECT_EQ(SuggestDestination(profile, FileKind::kImage, TransferAction::kMove, "/new/dog.gif"),
            Path("sorted/dog.gif"));

  EXPECT_FALSE(TransferShownFile(profile, FileKind::kSound, TransferAction::kCopy, Path("ring.wav"),
                                 Path("nowhere/ring.wav")));
  EXPECT_EQ(profile.Get(StringKey::CopySoundTo), Path("nowhere/ring.wav"));
  EXPECT_EQ(profile.Get(StringKey::CopyImageTo), "");
  unsetenv("ZENTROPE_WINDIR");
}

TEST_F(FileListTest, DeleteKeepsAndReportsFilesThatCouldNotBeDeleted) {
  const Paths files = Make({"a.gif", "b.gif", "c.gif"});
  TFilePkg list;
  list.AddSpec(Path("*.gif"), 7, false, false);
  list.AddFile(Path("gone.gif"));
  CapturedLog log;
  const Paths deleted = DeleteFiles(list, {Path("b.gif"), Path("gone.gif"), Path("c.gif")});
  EXPECT_EQ(deleted, (Paths{Path("b.gif"), Path("c.gif")}));
  EXPECT_EQ(list.Names(0), (Paths{Path("a.gif"), Path("gone.gif")}));
  EXPECT_EQ(log.lines, (Paths{FormatLogText("Deleted %s", Path("b.gif")),
                              FormatLogText("Error occurred while deleting %s", Path("gone.gif")),
                              FormatLogText("Deleted %s", Path("c.gif"))}));
  EXPECT_TRUE(ContainsPath(deleted, Path("C.GIF")));
  EXPECT_FALSE(ContainsPath(deleted, Path("a.gif")));

  list.RemoveName(Path("gone.gif"));
  EXPECT_TRUE(DeleteShownFile(list, Path("a.gif")));
  EXPECT_EQ(list.Current(), kNoFile);
  EXPECT_FALSE(std::filesystem::exists(Path("a.gif")));
}

TEST(FileOperations, GoToSlideCutsTheAnswerToTheDialogLimit) {
  TFilePkg list;
  for (const char* name : {"/p/first.gif", "/p/abcdefghijklmnop.gif", "/p/abcdefghijkl.gif"}) {
    list.AddFile(name);
  }
  EXPECT_FALSE(GoToSlide(list, ""));
  EXPECT_EQ(list.Current(), "/p/first.gif");
  EXPECT_TRUE(GoToSlide(list, "abcdefghijklmnop"));
  EXPECT_EQ(list.Current(), "/p/abcdefghijkl.gif");
}
