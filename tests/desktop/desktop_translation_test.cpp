// The desktop backend's translations that need no display: file patterns,
// keys, palette pixels, clipboard bytes, help files and menu labels.
#include <gtest/gtest.h>

#include <gdk/gdkkeysyms.h>
#include <wx/defs.h>

#include "platform/display.h"
#include "platform/packed_dib.h"
#include "platform/virtual_keys.h"
#include "platform/wx/screen_image.h"
#include "platform/wx/wx_clipboard.h"
#include "platform/wx/wx_file_patterns.h"
#include "platform/wx/wx_help.h"
#include "platform/wx/wx_keys.h"
#include "platform/wx/wx_menu.h"
#include "support/temp_dir.h"

TEST(WxFilePatterns, LettersMatchEitherCaseAndRunTogetherPatternsAreSplit) {
  EXPECT_EQ(CaseInsensitivePattern("*.gif"), "*.[gG][iI][fF]");
  EXPECT_EQ(CaseInsensitivePattern("*.*"), "*.*");
  EXPECT_EQ(CaseInsensitivePattern("*.01"), "*.01");
  EXPECT_EQ(WxFilterList("GIF|*.gif|All|*.*|"), "GIF|*.[gG][iI][fF]|All|*.*");
  // A missing ";" between two patterns would make one pattern match nothing.
  EXPECT_EQ(WxFilterList("Zentrope Files|*.gif;*.tif*.zip|"),
            "Zentrope Files|*.[gG][iI][fF];*.[tT][iI][fF];*.[zZ][iI][pP]");
  // A description without patterns is dropped rather than shown empty.
  EXPECT_EQ(WxFilterList("BMP|*.bmp;*.dib|Broken"), "BMP|*.[bB][mM][pP];*.[dD][iI][bB]");
}

TEST(WxKeys, KeyCodesBecomeTheProgramsVirtualKeys) {
  EXPECT_EQ(VirtualKeyFromWxKey('a'), 'A');
  EXPECT_EQ(VirtualKeyFromWxKey('7'), '7');
  EXPECT_EQ(VirtualKeyFromWxKey(WXK_SPACE), kVkSpace);
  EXPECT_EQ(VirtualKeyFromWxKey(WXK_PAGEUP), kVkPrior);
  EXPECT_EQ(VirtualKeyFromWxKey(WXK_NUMPAD_ENTER), kVkReturn);
  EXPECT_EQ(VirtualKeyFromWxKey(WXK_NUMPAD7), kVkNumpad0 + 7);
  // Num Lock off: the keypad digits are navigation keys.
  EXPECT_EQ(VirtualKeyFromWxKey(WXK_NUMPAD_HOME), kVkHome);
  EXPECT_EQ(VirtualKeyFromWxKey(WXK_NUMPAD_ADD), kVkAdd);
  EXPECT_EQ(VirtualKeyFromWxKey(WXK_F12), kVkF12);
  EXPECT_EQ(VirtualKeyFromWxKey(WXK_MEDIA_PLAY_PAUSE), 0);
}

TEST(WxKeys, OnlyPrintableKeysTypeCharacters) {
  EXPECT_EQ(CharacterFromKeyval(GDK_KEY_a), 'a');
  EXPECT_EQ(CharacterFromKeyval(GDK_KEY_A), 'A');
  EXPECT_EQ(CharacterFromKeyval(GDK_KEY_plus), '+');
  EXPECT_EQ(CharacterFromKeyval(GDK_KEY_KP_Add), '+');
  EXPECT_EQ(CharacterFromKeyval(GDK_KEY_eacute), 0xE9);
  for (const unsigned keyval :
       {GDK_KEY_Return, GDK_KEY_Tab, GDK_KEY_BackSpace, GDK_KEY_Escape, GDK_KEY_Delete,
        GDK_KEY_KP_Home, GDK_KEY_F1, GDK_KEY_dead_circumflex}) {
    EXPECT_EQ(CharacterFromKeyval(keyval), 0) << keyval;
  }
}

TEST(WxKeys, DeadKeysComposeWithTheNextKey) {
  TDeadKeyComposer composer;
  EXPECT_EQ(composer.Feed(GDK_KEY_dead_circumflex, 0), 0);
  EXPECT_EQ(composer.Feed(GDK_KEY_Shift_L, 0), 0);  // Shift leaves it waiting
  EXPECT_EQ(composer.Feed(GDK_KEY_E, 'E'), 0xCA);
  EXPECT_EQ(composer.Feed(GDK_KEY_e, 'e'), 'e');  // used up
  composer.Feed(GDK_KEY_dead_circumflex, 0);
  EXPECT_EQ(composer.Feed(GDK_KEY_space, ' '), '^');
  composer.Feed(GDK_KEY_dead_acute, 0);
  EXPECT_EQ(composer.Feed(GDK_KEY_x, 'x'), 'x');  // no composed form
  EXPECT_FALSE(composer.HasPending());
}

TEST(ScreenImage, PaletteSurfacesShowTheirSystemColours) {
  TDisplay display;
  ASSERT_TRUE(display.SetDepth(8));
  auto surface = display.CreateCompatibleSurface(3, 2);
  ASSERT_TRUE(surface);
  surface->Row(0)[0] = 255;  // white
  surface->Row(1)[2] = 249;  // a static colour
  TScreenImage image;
  cairo_surface_t* shown = image.Show(*surface, surface->Bounds());
  ASSERT_NE(shown, nullptr);
  const auto* pixels = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(shown));
  const int stride = cairo_image_surface_get_stride(shown) / 4;
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(pixels[y * stride + x] & 0xFFFFFF, PixelFromColour(surface->ColourAt(x, y)));
    }
  }
  // A later change shows where it was presented, and only there.
  const std::uint32_t before = PixelFromColour(surface->ColourAt(0, 1));
  surface->Row(0)[1] = 255;
  surface->Row(1)[0] = 255;
  image.Show(*surface, Rect{1, 0, 2, 1});
  EXPECT_EQ(pixels[1] & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(pixels[stride] & 0xFFFFFF, before);
}

TEST(ScreenImage, TrueColourSurfacesAreShownWithoutACopy) {
  auto surface = TSurface::Create(4, 3, 24);
  ASSERT_TRUE(surface);
  TScreenImage image;
  cairo_surface_t* shown = image.Show(*surface, surface->Bounds());
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(shown)),
            surface->Row(0));
  // A resized surface has new pixels: the image follows.
  ASSERT_TRUE(surface->Resize(40, 30));
  cairo_surface_t* resized = image.Show(*surface, Rect{});
  ASSERT_NE(resized, nullptr);
  EXPECT_EQ(cairo_image_surface_get_width(resized), 40);
  EXPECT_EQ(reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(resized)),
            surface->Row(0));
}

TEST(WxClipboardBytes, BmpFilesCarryThePackedBitmapBothWays) {
  TDisplay display;
  auto surface = display.CreateCompatibleSurface(5, 3);
  ASSERT_TRUE(surface);
  surface->Row(1)[2] = 0x123456;
  const std::vector<std::uint8_t> dib = CapturePackedDib(*surface, surface->Bounds(), nullptr);
  ASSERT_FALSE(dib.empty());
  const std::vector<std::uint8_t> file = BmpFileFromPackedDib(dib);
  ASSERT_EQ(file.size(), dib.size() + 14);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[10], 14 + 40);  // 24 bits: the rows follow the header
  const auto back = PackedDibFromBmpFile(file);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, dib);
}

TEST(WxClipboardBytes, DamagedBmpFilesAreRefused) {
  const std::vector<std::uint8_t> dib =
      CapturePackedDib(*TSurface::Create(2, 2, 24), Rect{0, 0, 2, 2}, nullptr);
  std::vector<std::uint8_t> file = BmpFileFromPackedDib(dib);
  ASSERT_FALSE(file.empty());
  std::vector<std::uint8_t> wrong_offset = file;
  wrong_offset[10] = 200;
  EXPECT_FALSE(PackedDibFromBmpFile(wrong_offset));
  std::vector<std::uint8_t> cut(file.begin(), file.end() - 4);
  EXPECT_FALSE(PackedDibFromBmpFile(cut));
  EXPECT_FALSE(PackedDibFromBmpFile(std::vector<std::uint8_t>(file.begin(), file.begin() + 14)));
  EXPECT_TRUE(BmpFileFromPackedDib(std::vector<std::uint8_t>(10, 0)).empty());
}

TEST(WxHelp, BooksComeBeforePagesBesideTheNamedFile) {
  // An installed copy's page named ".hlp" is the last resort.
  EXPECT_EQ(HelpFileCandidates("/opt/z/zentrp32.hlp"),
            (std::vector<std::string>{"/opt/z/zentrp32.hhp", "/opt/z/zentrp32.zip",
                                      "/opt/z/zentrp32.html", "/opt/z/zentrp32.htm",
                                      "/opt/z/zentrp32.hlp"}));
  EXPECT_EQ(HelpFileCandidates("/h/guide.html").front(), "/h/guide.html");
  EXPECT_EQ(HelpFileCandidates("/h/guide.html").size(), 4u);
}

TEST(WxHelp, APageNamedOtherwiseIsShownThroughAnHtmlLink) {
  TempDir dir;
  const std::string page = dir.File("zentrp32.hlp");
  ASSERT_TRUE(WriteFileText(page, "<html>help</html>"));
  const std::string folder = dir.File("cache/zentrope");
  const std::string link = BrowsableHelpPage(page, folder);
  EXPECT_EQ(link, folder + "/zentrp32.html");
  EXPECT_EQ(ReadFileText(link), "<html>help</html>");
  // Asked again, the earlier link gives way; a file of the user's does not.
  EXPECT_EQ(BrowsableHelpPage(page, folder), link);
  ASSERT_TRUE(WriteFileText(dir.File("other.html"), "mine"));
  EXPECT_EQ(BrowsableHelpPage(dir.File("other.hlp"), dir.path()), "");
  EXPECT_EQ(ReadFileText(dir.File("other.html")), "mine");
  EXPECT_EQ(BrowsableHelpPage("/h/guide.htm", folder), "/h/guide.htm");
}

TEST(WxMenu, ShortcutsFollowATab) {
  EXPECT_EQ(WxMenuLabel(MenuItem::Command(1, "&Open...", "Ctrl+O")), "&Open...\tCtrl+O");
  EXPECT_EQ(WxMenuLabel(MenuItem::Command(2, "E&xit")), "E&xit");
}
