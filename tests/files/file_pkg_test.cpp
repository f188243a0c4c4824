#include "files/file_pkg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "file_list_fixture.h"
#include "files/file_types.h"
#include "platform/long_operation.h"
#include "platform/random.h"

using Names = std::vector<std::string>;

TEST_F(FileListTest, PatternScanSortsByNameAndTakesOnlyTheIndexClass) {
  Make({"c.gif", "a.GIF", "b.gif", "notes.txt", "d.jpg", ".hidden.gif"});
  TFilePkg list;
  list.AddSpec(Path("*.*"), kGifFiles, false, false);
  EXPECT_EQ(list.Names(kSortedOrder), (Names{Path("a.GIF"), Path("b.gif"), Path("c.gif")}));

  list.Clear();
  list.AddSpec(Path("?.GIF"), kAllFiles, false, false);
  EXPECT_EQ(list.Count(), 3);

  list.Clear();
  list.AddSpec("*.*", kAllFiles, false, false);  // relative: the current folder
  EXPECT_EQ(list.Names(kSortedOrder),
            (Names{Path("a.GIF"), Path("b.gif"), Path("c.gif"), Path("d.jpg"), Path("notes.txt")}));
}

TEST_F(FileListTest, SpecWithoutExtensionNamesAFolderUnlessItIsAFile) {
  Make({"pics/b.gif", "pics/a.jpg", "pics/readme.txt", "pics.d/c.gif", "README"});
  TFilePkg list;
  list.AddSpec(Path("pics"), kAllImageFiles, false, false);
  EXPECT_EQ(list.Names(kSortedOrder), (Names{Path("pics/a.jpg"), Path("pics/b.gif")}));

  list.Clear();
  list.AddSpec(Path("pics/"), kGifFiles, false, false);
  EXPECT_EQ(list.Names(kSortedOrder), (Names{Path("pics/b.gif")}));

  list.Clear();
  list.AddSpec(Path("pics.d"), kGifFiles, false, false);  // a folder despite its dot
  EXPECT_EQ(list.Names(kSortedOrder), (Names{Path("pics.d/c.gif")}));

  list.Clear();
  list.AddSpec(Path("README"), kGifFiles, false, false);  // a named file, whatever its class
  EXPECT_EQ(list.Names(kSortedOrder), (Names{Path("README")}));
}

TEST_F(FileListTest, NewerPictureFormatsJoinTheGroupsButNoSingleClass) {
  Make({"shots/a.png", "shots/b.WEBP", "shots/c.gif", "shots/d.wav", "shots/e.txt"});
  TFilePkg list;
  list.AddSpec(Path("shots"), kAllImageFiles, false, false);
  EXPECT_EQ(list.Names(kSortedOrder),
            (Names{Path("shots/a.png"), Path("shots/b.WEBP"), Path("shots/c.gif")}));

  list.Clear();
  list.AddSpec(Path("shots"), kAllKnownFiles, false, false);
  EXPECT_EQ(list.Count(), 4);

  list.Clear();
  list.AddSpec(Path("shots"), kGifFiles, false, false);
  EXPECT_EQ(list.Names(kSortedOrder), (Names{Path("shots/c.gif")}));
}

TEST_F(FileListTest, NamedFileWithSiblingsFollowsEarlierEntriesAndIsListedOnce) {
  Make({"c.gif", "a.gif", "b.gif", "x.txt"});
  TFilePkg list;
  list.AddFile("/elsewhere/z.gif");
  list.AddSpec(Path("B.GIF"), kGifFiles, true, false);  // typed in another case
  EXPECT_EQ(list.Names(kSortedOrder),
            (Names{"/elsewhere/z.gif", Path("a.gif"), Path("b.gif"), Path("c.gif")}));
  EXPECT_EQ(list.Current(), "/elsewhere/z.gif");
  list.GoTo(Path("b.gif"));
  EXPECT_EQ(list.Current(), Path("b.gif"));
}

TEST_F(FileListTest, RecursiveSpecStopsAtTheScanDepthLimit) {
  std::vector<std::string> names;
  std::string folder;
  for (int level = 0; level < 11; ++level) {
    names.push_back(folder + "level" + std::to_string(level) + ".gif");
    folder += "sub" + std::to_string(level) + "/";
  }
  Make(names);
  TFilePkg list;
  list.AddSpec(dir_.path() + "...", kGifFiles, false, false);
  // Which scan group comes first depends on the folder order; the set does not.
  ASSERT_EQ(list.Count(), kMaxScanDepth);
  const std::string all = ::testing::PrintToString(list.Names(kSortedOrder));
  EXPECT_NE(all.find("/level0.gif"), std::string::npos);
  EXPECT_NE(all.find("/level7.gif"), std::string::npos);

  list.Clear();
  list.AddSpec(Path("*.*"), kGifFiles, false, false);  // without subdirectories
  EXPECT_EQ(list.Count(), 1);
}

// A relative folder stays relative, as typed; only a missing one is filled in.
TEST_F(FileListTest, ListFilesResolveAgainstTheCurrentFolderAndCannotRunAway) {
  Make({"a.gif", "b.gif", "lists/a.gif", "more/c.gif"});
  ASSERT_TRUE(
      WriteFileText(Path("lists/show.sli"), "a.gif\n  more\n\tmissing.gif lists/nested.sli"));
  ASSERT_TRUE(WriteFileText(Path("lists/nested.sli"), "b.gif"));
  TFilePkg list;
  list.AddSpec(Path("lists/show.sli"), kGifFiles, false, false);
  EXPECT_EQ(list.Names(kSortedOrder),
            (Names{Path("a.gif"), "more/c.gif", Path("missing.gif"), Path("b.gif")}));

  // A list naming itself many times would open itself 40^6 times within the
  // depth limit; the cap on list files per specification ends it.
  std::string self;
  for (int i = 0; i < 40; ++i) self += "self.sli ";
  ASSERT_TRUE(WriteFileText(Path("self.sli"), self + "a.gif"));
  list.Clear();
  list.AddSpec("self.sli", kGifFiles, false, false);
  EXPECT_EQ(list.Names(kSortedOrder), (Names{Path("a.gif")}));

  list.Clear();
  list.AddSpec(Path("nothing.sli"), kGifFiles, false, false);
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(FileListTest, NamesThatDoNotExistAreKeptAsTyped) {
  Make({"photo.gif", "twin.gif", "TWIN.GIF"});
  TFilePkg list;
  list.AddSpec("Missing.GIF", kGifFiles, false, false);
  list.AddFile(Path("PHOTO.GIF"));  // takes the file's own spelling
  list.AddFile(Path("Twin.gif"));   // two candidates: kept as given
  EXPECT_EQ(list.Names(kSortedOrder),
            (Names{Path("Missing.GIF"), Path("photo.gif"), Path("Twin.gif")}));

  SetPlatformMajorVersion(3);
  list.Clear();
  list.AddFile("/Old/Style.GIF");
  EXPECT_EQ(list.Current(), "/old/style.gif");
}

TEST_F(FileListTest, RecursiveScansNeverReenterAFolderOnTheirOwnPath) {
  Make({"a.gif", "sub/b.gif", "other/c.gif"});
  for (const char* link : {"self1", "self2", "self3"}) {
    ASSERT_EQ(symlink(".", Path(link).c_str()), 0);
  }
  ASSERT_EQ(symlink("..", Path("sub/back").c_str()), 0);
  ASSERT_EQ(symlink("../other", Path("sub/side").c_str()), 0);  // a sibling, not an ancestor
  TFilePkg list;
  list.AddSpec(dir_.path() + "...", kGifFiles, false, false);
  Names names = list.Names(kSortedOrder);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names,
            (Names{Path("a.gif"), Path("other/c.gif"), Path("sub/b.gif"), Path("sub/side/c.gif")}));

  // The same folder may still be scanned again once the first scan is over.
  list.AddSpec(Path("sub/back") + "/*.gif", kGifFiles, false, false);
  EXPECT_EQ(list.Count(), 5);
}

TEST(FileList, StepsWrapAroundAndReportTheEnd) {
  TFilePkg list;
  EXPECT_EQ(list.Current(), kNoFile);
  EXPECT_EQ(list.Next(kSortedOrder), kNoFile);
  EXPECT_TRUE(list.AtEnd());
  EXPECT_FALSE(list.IsSound());

  for (const char* name : {"/n/a.gif", "/n/b.WAV", "/n/c.avi"}) list.AddFile(name);
  EXPECT_EQ(list.Current(), "/n/a.gif");
  EXPECT_FALSE(list.IsSound());
  EXPECT_TRUE(list.IsSound(Neighbour::kNext, kSortedOrder));
  EXPECT_TRUE(list.IsMovie(Neighbour::kPrevious, kSortedOrder));
  EXPECT_EQ(list.Next(kSortedOrder), "/n/b.WAV");
  EXPECT_FALSE(list.AtEnd());
  EXPECT_EQ(list.Next(kSortedOrder), "/n/c.avi");
  EXPECT_TRUE(list.AtEnd());
  EXPECT_EQ(list.Next(kSortedOrder), "/n/a.gif");
  EXPECT_FALSE(list.AtEnd());
  EXPECT_EQ(list.Previous(kSortedOrder), "/n/c.avi");
}

TEST(FileList, RandomOrderIsTheInsertionShuffleOfTheSeededGenerator) {
  // Seed 12345 draws 68391300, 482790092, 218732710, 77805671, 174559080; each
  // new name goes after the entry (draw mod count) sorted steps past current.
  SeedRandom(12345);
  TFilePkg list;
  for (const char* name : {"/r/a", "/r/b", "/r/c", "/r/d", "/r/e", "/r/f"}) list.AddFile(name);
  EXPECT_EQ(list.Names(kRandomOrder), (Names{"/r/a", "/r/f", "/r/c", "/r/b", "/r/d", "/r/e"}));
  EXPECT_EQ(list.Next(kRandomOrder), "/r/f");
  EXPECT_EQ(list.Previous(kRandomOrder), "/r/a");
  EXPECT_EQ(list.Previous(kRandomOrder), "/r/e");
}

TEST(FileList, GoToPrefersExactPartsThenPrefixesStartingAfterCurrent) {
  TFilePkg list;
  for (const char* name : {"/p/moon.gif", "/p/sunset.gif", "/q/sun.jpg", "/q/sun.gif"}) {
    list.AddFile(name);
  }
  list.GoTo("SUN");
  EXPECT_EQ(list.Current(), "/q/sun.jpg");
  list.GoTo("sun");
  EXPECT_EQ(list.Current(), "/q/sun.gif");
  list.GoTo("sun.j");
  EXPECT_EQ(list.Current(), "/q/sun.jpg");
  list.GoTo("suns");
  EXPECT_EQ(list.Current(), "/p/sunset.gif");
  list.GoTo("/q/");
  EXPECT_EQ(list.Current(), "/q/sun.jpg");
  list.GoTo("mars");
  EXPECT_EQ(list.Current(), "/q/sun.jpg");
}

TEST(FileList, RemoveNameDropsEveryMatchAndMovesCurrentAndHead) {
  TFilePkg list;
  for (const char* name : {"/n/a", "/n/b", "/n/c", "/n/a"}) list.AddFile(name);
  ASSERT_EQ(list.Count(), 4);  // appended names are only checked against the last one
  list.Next(kSortedOrder);
  EXPECT_TRUE(list.RemoveName("/N/B"));
  EXPECT_EQ(list.Current(), "/n/c");
  EXPECT_TRUE(list.RemoveName("/n/a"));
  EXPECT_FALSE(list.RemoveName("/n/a"));
  EXPECT_EQ(list.Names(kSortedOrder), (Names{"/n/c"}));
  EXPECT_EQ(list.Names(kRandomOrder), (Names{"/n/c"}));

  EXPECT_TRUE(list.RemoveName("/n/c"));
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Current(), kNoFile);
  EXPECT_TRUE(list.AtEnd());
  list.AddFile("/n/d");
  EXPECT_EQ(list.Current(), "/n/d");
}

namespace {
// Stands for messages handled while a scan polls: the first one cancels the
// scan, or clears the list under it.
class ScanPump : public LongOperationPump {
 public:
  explicit ScanPump(TFilePkg* list_to_clear = nullptr) : list_to_clear_(list_to_clear) {}
  void PumpWaitingMessages() override {
    if (pumps++ > 0) return;
    if (list_to_clear_) {
      list_to_clear_->Clear();
    } else {
      RequestCancel();
    }
  }
  void RepostCurrentMessage() override {}
  int pumps = 0;

 private:
  TFilePkg* list_to_clear_;
};

int CountAfterPumpedScan(const std::string& spec, ScanPump& pump, TFilePkg& list) {
  InstallLongOperationPump(&pump);
  BeginLongOperation();
  list.AddSpec(spec, kGifFiles, false, false);
  EndLongOperation();
  InstallLongOperationPump(nullptr);
  return list.Count();
}
}  // namespace

TEST_F(FileListTest, ScanStopsWhenCancelledOrWhenTheListIsClearedUnderIt) {
  Make({"a.gif", "b.gif", "c.gif", "d.gif"});
  TFilePkg list;
  ScanPump cancelling;
  EXPECT_EQ(CountAfterPumpedScan(Path("*.gif"), cancelling, list), 1);
  EXPECT_EQ(cancelling.pumps, 1);

  // The anchor of the scan went with the entries: adding more would use it.
  list.AddFile("/other/z.gif");
  ScanPump clearing(&list);
  EXPECT_EQ(CountAfterPumpedScan(Path("*.gif"), clearing, list), 0);
  EXPECT_EQ(clearing.pumps, 1);
}
