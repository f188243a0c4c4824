// Options > Thumbnails: the sheet toggles, their ticks, and the grid prompts.
#include <gtest/gtest.h>

#include "app/command_ids.h"
#include "app/command_registry.h"
#include "app/commands/register_commands.h"
#include "command_window_fixture.h"

namespace {

class SheetOptionCommandsTest : public CommandWindowTest {
 protected:
  void StartWithPicture() {
    Start({WritePicture("pic.bmp")});
    RegisterSheetOptionCommands(registry_);
  }
  bool Ticked(std::uint32_t id) {
    const CommandBinding* binding = registry_.Find(id);
    return binding && binding->checked && binding->checked(*window_);
  }
  int Setting(IntKey key) { return Settings().Get(key); }
  // F9 asks for the columns, F10 for the rows.
  void AnswerCount(std::uint32_t id, const std::string& text) {
    Answer(ScriptedAnswer::Text(text));
    Press(id == CM_THUMBNAILS_ACROSS ? kVkF9 : kVkF10);
  }

  TCommandRegistry registry_;
};

TEST_F(SheetOptionCommandsTest, EnableSplitsTheWindowIntoCellsAndBack) {
  StartWithPicture();
  ASSERT_EQ(Setting(IntKey::ThumbnailsAcross), 4);
  ASSERT_EQ(Setting(IntKey::ThumbnailsDown), 3);
  EXPECT_FALSE(Ticked(CM_THUMBNAILS_ENABLE));
  Press('B');
  EXPECT_EQ(Setting(IntKey::ThumbnailsEnable), 1);
  EXPECT_TRUE(Ticked(CM_THUMBNAILS_ENABLE));
  EXPECT_EQ(window_->FrameRect(), (Rect{0, 0, 250, 333}));
  EXPECT_TRUE(window_->HasPageBitmap()) << "a sheet draws through the page bitmap";
  ASSERT_TRUE(Choose(CM_THUMBNAILS_ENABLE));
  EXPECT_EQ(Setting(IntKey::ThumbnailsEnable), 0);
  EXPECT_EQ(window_->FrameRect(), (Rect{0, 0, 1000, 1000}));
}

TEST_F(SheetOptionCommandsTest, DecorationsRedrawOnlyWhileASheetIsOn) {
  StartWithPicture();
  int presents = Presents();
  Choose(CM_THUMBNAILS_OUTLINE);
  Choose(CM_THUMBNAILS_ANNOTATE);
  Choose(CM_THUMBNAILS_RANDOM);
  EXPECT_EQ(Presents(), presents);
  EXPECT_TRUE(Ticked(CM_THUMBNAILS_OUTLINE));
  EXPECT_FALSE(Ticked(CM_THUMBNAILS_ANNOTATE))
      << "annotation starts on, so the toggle turns it off";
  EXPECT_TRUE(Ticked(CM_THUMBNAILS_RANDOM));

  Choose(CM_THUMBNAILS_RANDOM);
  Press('B');
  presents = Presents();
  Choose(CM_THUMBNAILS_OUTLINE);
  EXPECT_GT(Presents(), presents);
  EXPECT_FALSE(Ticked(CM_THUMBNAILS_OUTLINE));
}

TEST_F(SheetOptionCommandsTest, CountPromptsClampAndIgnoreWhatIsNoNumber) {
  StartWithPicture();
  AnswerCount(CM_THUMBNAILS_ACROSS, "2");
  ASSERT_FALSE(Shown().empty());
  EXPECT_EQ(Shown().back().caption, "Input");
  EXPECT_EQ(Shown().back().texts.at(0), "Number of thumbnails to display horizontally:");
  EXPECT_EQ(Shown().back().texts.at(1), "4");
  EXPECT_EQ(Setting(IntKey::ThumbnailsAcross), 2);

  AnswerCount(CM_THUMBNAILS_DOWN, "0");
  EXPECT_EQ(Shown().back().texts.at(0), "Number of thumbnails to display vertically:");
  EXPECT_EQ(Setting(IntKey::ThumbnailsDown), 1);
  AnswerCount(CM_THUMBNAILS_DOWN, "lots");
  EXPECT_EQ(Setting(IntKey::ThumbnailsDown), 1);
  AnswerCount(CM_THUMBNAILS_DOWN, "7 rows");
  EXPECT_EQ(Setting(IntKey::ThumbnailsDown), 7);
  AnswerCount(CM_THUMBNAILS_ACROSS, "99999");
  EXPECT_LE(Setting(IntKey::ThumbnailsAcross), 9999);
  EXPECT_GE(Setting(IntKey::ThumbnailsAcross), 999);
  Answer(ScriptedAnswer::Cancel(DialogKind::kCustom));
  ASSERT_TRUE(Choose(CM_THUMBNAILS_DOWN));
  EXPECT_EQ(Setting(IntKey::ThumbnailsDown), 7);
}

TEST_F(SheetOptionCommandsTest, NewCountsRedrawASequentialSheetFromItsFirstCell) {
  StartWithPicture();
  Press('B');
  AnswerCount(CM_THUMBNAILS_ACROSS, "2");
  AnswerCount(CM_THUMBNAILS_DOWN, "2");
  EXPECT_EQ(window_->FrameRect(), (Rect{0, 0, 500, 500}));

  // A random sheet keeps its frame where it is.
  Choose(CM_THUMBNAILS_RANDOM);
  const Rect frame = window_->FrameRect();
  AnswerCount(CM_THUMBNAILS_ACROSS, "5");
  EXPECT_EQ(window_->FrameRect(), frame);
}

}  // namespace
