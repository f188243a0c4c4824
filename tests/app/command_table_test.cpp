// The menu bar and accelerator table as data: every command of the menus is
// there once with its exact text, every key reaches its command, and every
// item either has a binding or shows disabled.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "app/command_ids.h"
#include "app/command_registry.h"
#include "app/command_table.h"
#include "app/commands/register_commands.h"
#include "platform/key_names.h"
#include "platform/virtual_keys.h"

namespace {

struct Expected {
  std::uint32_t id;
  const char* text;
};

// Every command of the menus with its text, as the user sees them.
const std::vector<Expected>& AllMenuCommands() {
  static const std::vector<Expected> all = [] {
    std::vector<Expected> items = {
        {102, "&Open..."},
        {103, "&Close"},
        {104, "Sa&ve as..."},
        {105, "Save &wallpaper..."},
        {106, "&Print..."},
        {107, "Print &setup..."},
        {108, "Print &margins..."},
        {109, "Display &thumbnails"},
        {110, "&Next"},
        {111, "R&andom"},
        {112, "Prev&ious"},
        {114, "Copy &image to..."},
        {115, "Copy &sound to..."},
        {116, "Copy &movie to..."},
        {118, "Move &image to..."},
        {119, "Move &sound to..."},
        {120, "Move &movie to..."},
        {122, "Delete &image"},
        {123, "Delete &sound"},
        {124, "Delete &movie"},
        {125, "Delete &files..."},
        {127, "Convert to &GIF..."},
        {128, "Convert to &BMP..."},
        {129, "Convert to PC&X..."},
        {130, "Convert to &TGA..."},
        {131, "Convert to &JPG..."},
        {132, "Convert to TI&F..."},
        {134, "&Decode..."},
        {135, "&Encode..."},
        {137, "&Unzip..."},
        {138, "Zip &info..."},
        {140, "S&how comments"},
        {141, "Show &log"},
        {142, "E&xit"},
        {201, "&Copy image"},
        {202, "&Paste image"},
        {203, "Copy c&omments"},
        {204, "Paste co&mments"},
        {205, "Copy &window"},
        {301, "&Zoom in"},
        {302, "&Crop"},
        {303, "Zoom &out"},
        {304, "Ro&tate"},
        {305, "&Mirror"},
        {306, "&Flip"},
        {307, "&Brighter"},
        {308, "&Dimmer"},
        {309, "More co&ntrast"},
        {310, "&Less contrast"},
        {311, "&Invert"},
        {312, "&Reset"},
        {313, "R&eload"},
        {401, "&Enable"},
        {402, "S&ynchronous"},
        {403, "&Louder"},
        {404, "&Softer"},
        {405, "Loo&p"},
        {406, "&Replay"},
        {501, "&Enable"},
        {502, "S&ynchronous"},
        {503, "Loo&p"},
        {504, "&Replay"},
        {601, "&Run slideshow"},
        {602, "&Go to slide..."},
        {603, "&File spec..."},
        {604, "&Delay between images..."},
        {605, "De&lay between sounds..."},
        {606, "Dela&y between movies..."},
        {607, "R&andom order"},
        {608, "&Erase new pages"},
        {701, "Sa&ve options"},
        {702, "&Restore options"},
        {703, "Defau&lt options"},
        {704, "Remem&ber options"},
        {706, "Ena&ble"},
        {707, "&Random"},
        {708, "A&nnotate"},
        {709, "&Outline"},
        {710, "&Across..."},
        {711, "&Down..."},
        {713, "&Fill window"},
        {714, "&Always on top"},
        {715, "&Display in color"},
        {716, "Enable &3d controls"},
        {717, "Enable &large dialogs"},
        {719, "Print in &color"},
        {720, "Print &dithered"},
        {722, "&Background color..."},
        {723, "&Foreground color..."},
        {725, "&Interlaced"},
        {726, "&Transparent"},
        {727, "&Colors..."},
        {728, "&LZW enable"},
        {730, "&Two pass"},
        {731, "&Use dithering"},
        {732, "Use mo&nochrome"},
        {733, "&Block smoothing"},
        {734, "&Pixel smoothing"},
        {735, "Output &monochrome"},
        {736, "Output &optimize"},
        {737, "Output &quality..."},
        {738, "Output &smoothing..."},
        {740, "&No compression"},
        {741, "CCITT &RLE"},
        {742, "CCITT Group &3"},
        {743, "CCITT Group &4"},
        {744, "&LZW"},
        {746, "&Quick look"},
        {747, "&Sort palette"},
        {749, "Output &width..."},
        {750, "Output &height..."},
        {751, "Encode &lines..."},
        {753, "&Low quality"},
        {754, "&Medium quality"},
        {755, "&High quality"},
        {757, "&Direct"},
        {758, "&Fast"},
        {759, "&Horizontal"},
        {760, "&Vertical"},
        {761, "Horizon&tal blinds"},
        {762, "Vertica&l blinds"},
        {763, "Check &in"},
        {764, "Check &out"},
        {765, "Box i&n"},
        {766, "Box o&ut"},
        {767, "Di&ssolve"},
        {768, "&Random"},
        {770, "&Scale"},
        {771, "&Fit"},
        {772, "&Crop"},
        {773, "&Dither"},
        {774, "Co&mments"},
        {775, "Se&arch"},
        {776, "&Resume"},
        {778, "&Startup password"},
        {779, "S&lideshow password"},
        {780, "Set &password..."},
        {801, "&Install Zentrope"},
        {802, "&Remove Zentrope"},
        {803, "In&stall screen saver"},
        {804, "Re&move screen saver"},
        {805, "&Configure screen saver"},
        {806, "&Test screen saver"},
        {807, "Install &extension"},
        {808, "Remove e&xtension"},
        {901, "&Contents..."},
        {902, "&Using help..."},
        {903, "&About..."},
    };
    const char* actions[] = {"&Print",        "Save as &GIF", "Save as &BMP", "Save as PC&X",
                             "Save as &TGA",  "Save as &JPG", "Save as TI&F", "&Stop slideshow",
                             "&Exit program", "&Ignore"};
    for (std::uint32_t base : {612u, 624u, 636u, 648u, 660u, 672u}) {
      items.push_back({base, base < 648 ? "&Normal" : "&None"});
      for (std::uint32_t action = 1; action <= 10; ++action) {
        items.push_back({base + action, actions[action - 1]});
      }
    }
    return items;
  }();
  return all;
}

void Walk(const std::vector<MenuItem>& items, std::map<std::uint32_t, int>& commands,
          std::vector<std::string>& submenus) {
  for (const MenuItem& item : items) {
    if (item.kind == MenuItem::Kind::kCommand) ++commands[item.id];
    if (item.kind == MenuItem::Kind::kSubmenu) {
      submenus.push_back(item.text);
      Walk(item.items, commands, submenus);
    }
  }
}

TEST(MenuData, EveryCommandAppearsOnceWithItsText) {
  const TMenuBar bar = MainMenuBar();
  std::map<std::uint32_t, int> commands;
  std::vector<std::string> submenus;
  Walk(bar.Menus(), commands, submenus);
  for (const Expected& expected : AllMenuCommands()) {
    EXPECT_EQ(commands[expected.id], 1) << expected.id;
    const MenuItem* item = bar.Find(expected.id);
    ASSERT_NE(item, nullptr) << expected.id;
    EXPECT_EQ(item->text, expected.text) << expected.id;
  }
  EXPECT_EQ(commands.size(), AllMenuCommands().size()) << "an item the menus should not have";
}

TEST(MenuData, MenusAndSubmenusInOrder) {
  const TMenuBar bar = MainMenuBar();
  std::vector<std::string> top;
  for (const MenuItem& menu : bar.Menus()) top.push_back(menu.text);
  EXPECT_EQ(top, (std::vector<std::string>{"&File", "&Edit", "&Image", "&Sound", "&Movie",
                                           "S&lideshow", "&Options", "&Utilities", "&Help"}));
  std::map<std::uint32_t, int> commands;
  std::vector<std::string> submenus;
  Walk(bar.Menus(), commands, submenus);
  const std::vector<std::string> expected = {"&File",
                                             "Cop&y",
                                             "Mov&e",
                                             "&Delete",
                                             "Conve&rt",
                                             "&Uuencode",
                                             "&Zip",
                                             "S&how",
                                             "&Edit",
                                             "&Image",
                                             "&Sound",
                                             "&Movie",
                                             "S&lideshow",
                                             "&Keystroke event",
                                             "Mouse &button event",
                                             "Mouse &movement event",
                                             "&Image display event",
                                             "S&creen done event",
                                             "&Slideshow done event",
                                             "&Options",
                                             "&Thumbnails",
                                             "&Display",
                                             "&Print",
                                             "&Colors",
                                             "&GIF",
                                             "&JPEG",
                                             "TI&FF",
                                             "&Input",
                                             "&Output",
                                             "Dit&hering",
                                             "&Effects",
                                             "&Auto",
                                             "Pa&ssword",
                                             "&Utilities",
                                             "&Help"};
  EXPECT_EQ(submenus, expected);
  // Submenu ids are told apart from commands by kInitMenuPopup.
  EXPECT_EQ(bar.PathTo(CM_TIFF_LZW).back()->id, kMenuTiff);
  EXPECT_EQ(bar.PathTo(CM_SHOW_LOG).front()->id, kMenuFile);
}

TEST(MenuData, ShortcutTextNamesTheKey) {
  const TMenuBar bar = MainMenuBar();
  const std::vector<std::pair<std::uint32_t, std::string>> shortcuts = {
      {CM_OPEN, "O"},
      {CM_NEXT, "Space"},
      {CM_COPY_SOUND_TO, "Ctrl+Insert"},
      {CM_COPY_IMAGE, "Ctrl+C"},
      {CM_BRIGHTER, "+"},
      {CM_MOVE_MOVIE_TO, "Alt+Shift+Insert"},
      {CM_EFFECT_RANDOM, "Shift+F12"},
      {CM_GIF_COLORS, ""},
      {CM_FILL_WINDOW, "Esc"}};
  for (const auto& [id, text] : shortcuts) EXPECT_EQ(bar.Find(id)->shortcut, text) << id;
}

Message KeyDown(int key, Modifiers modifiers = {}) {
  Message message;
  message.id = modifiers.alt ? MessageId::kSysKeyDown : MessageId::kKeyDown;
  message.key = key;
  message.modifiers = modifiers;
  return message;
}

Message Typed(int character, Modifiers modifiers = {}) {
  Message message;
  message.id = modifiers.alt ? MessageId::kSysChar : MessageId::kChar;
  message.key = character;
  message.modifiers = modifiers;
  return message;
}

TEST(Accelerators, KeysKeypadAndModifiedFormsReachTheirCommands) {
  const TAcceleratorTable& keys = MainAccelerators();
  constexpr Modifiers shift{true, false, false};
  constexpr Modifiers ctrl{false, true, false};
  constexpr Modifiers alt{false, false, true};
  constexpr Modifiers ctrl_shift{true, true, false};
  const std::vector<std::pair<Message, std::uint32_t>> cases = {
      {KeyDown('O'), CM_OPEN},
      {KeyDown('C'), CM_CLOSE},
      {KeyDown('C', ctrl), CM_COPY_IMAGE},
      {KeyDown('V'), CM_SAVE_AS},
      {KeyDown(kVkReturn), CM_RANDOM},
      {KeyDown(kVkInsert, ctrl_shift), CM_MOVE_SOUND_TO},
      {KeyDown(kVkDelete, shift), CM_DELETE_FILES},
      {KeyDown(kVkAdd), CM_BRIGHTER},
      {Typed('+'), CM_BRIGHTER},
      {KeyDown(kVkAdd, ctrl), CM_SOUND_LOUDER},
      {Typed('+', ctrl), CM_SOUND_LOUDER},
      {Typed('*', alt), CM_MOVIE_LOOP},
      {KeyDown(kVkMultiply, alt), CM_MOVIE_LOOP},
      {Typed('^'), CM_INVERT},
      {KeyDown(kVkHome, ctrl), CM_SOUND_REPLAY},
      {KeyDown(kVkTab, shift), CM_AUTO_FIT},
      {KeyDown(kVkF1), CM_HELP_CONTENTS},
      {KeyDown(kVkF1, ctrl), CM_HELP_USING},
      {KeyDown(kVkF1, shift), CM_EFFECT_DIRECT},
      {KeyDown(kVkF10), CM_THUMBNAILS_DOWN},
      {KeyDown(kVkLeft), CM_PAN_LEFT},
      {KeyDown(kVkUp, shift), CM_PAGE_UP},
      {KeyDown(kVkDown, ctrl), CM_STEP_DOWN},
      {KeyDown(kVkRight, alt), CM_VIEW_WIDER},
      {KeyDown('O', shift), 0},
      {KeyDown('Z'), 0},
  };
  for (const auto& [message, command] : cases) {
    EXPECT_EQ(keys.Translate(message), command) << message.key;
  }
}

TEST(Accelerators, NoKeyIsTakenTwiceAndEveryCommandIsInTheMenus) {
  const TMenuBar bar = MainMenuBar();
  std::set<std::tuple<int, int, bool, bool, bool>> seen;
  for (const Accelerator& entry : MainAcceleratorEntries()) {
    const auto key = std::make_tuple(static_cast<int>(entry.kind), entry.key, entry.modifiers.shift,
                                     entry.modifiers.control, entry.modifiers.alt);
    EXPECT_TRUE(seen.insert(key).second) << AcceleratorText(entry);
    const bool keyboard_only = entry.command >= CM_PAN_LEFT && entry.command <= CM_VIEW_TALLER;
    EXPECT_TRUE(keyboard_only || bar.Find(entry.command) != nullptr) << entry.command;
  }
}

TEST(CommandRegistry, SecondAddReplacesAndUnknownIdsAreNotFound) {
  TCommandRegistry registry;
  registry.Add(7, CommandBinding{{}, {}, {}, true});
  registry.Add(7, CommandBinding{{}, {}, {}, false});
  ASSERT_NE(registry.Find(7), nullptr);
  EXPECT_FALSE(registry.Find(7)->defer_if_busy);
  EXPECT_EQ(registry.Find(8), nullptr);
}

TEST(CommandRegistry, TheShellsOwnMenusAreAllBound) {
  const std::vector<std::uint32_t> shell_commands = {CM_OPEN,
                                                     CM_CLOSE,
                                                     CM_SAVE_AS,
                                                     CM_NEXT,
                                                     CM_RANDOM,
                                                     CM_PREVIOUS,
                                                     CM_CONVERT_TO_GIF,
                                                     CM_CONVERT_TO_TIF,
                                                     CM_SHOW_COMMENTS,
                                                     CM_SHOW_LOG,
                                                     CM_EXIT,
                                                     CM_COPY_IMAGE,
                                                     CM_PASTE_IMAGE,
                                                     CM_COPY_COMMENTS,
                                                     CM_PASTE_COMMENTS,
                                                     CM_COPY_WINDOW,
                                                     CM_FILE_SPEC,
                                                     CM_DELAY_BETWEEN_MOVIES,
                                                     CM_ERASE_NEW_PAGES,
                                                     CM_SLIDESHOW_DONE_EVENT + 10,
                                                     CM_SAVE_OPTIONS,
                                                     CM_DEFAULT_OPTIONS,
                                                     CM_FILL_WINDOW,
                                                     CM_FOREGROUND_COLOR,
                                                     CM_JPEG_OUTPUT_OPTIMIZE,
                                                     CM_TIFF_LZW,
                                                     CM_ENCODE_LINES,
                                                     CM_DITHER_HIGH,
                                                     CM_EFFECT_RANDOM,
                                                     CM_AUTO_RESUME,
                                                     CM_SET_PASSWORD,
                                                     CM_HELP_CONTENTS,
                                                     CM_HELP_USING,
                                                     CM_ABOUT};
  for (const std::uint32_t id : shell_commands) {
    const CommandBinding* binding = MainCommands().Find(id);
    ASSERT_NE(binding, nullptr) << id;
    EXPECT_TRUE(binding->run) << id;
  }
  // Plain commands skip DeferIfBusy; the others make way for a running operation.
  EXPECT_FALSE(MainCommands().Find(CM_SHOW_LOG)->defer_if_busy);
  EXPECT_FALSE(MainCommands().Find(CM_KEYSTROKE_EVENT)->defer_if_busy);
  EXPECT_TRUE(MainCommands().Find(CM_MOUSE_BUTTON_EVENT)->defer_if_busy);
  EXPECT_TRUE(MainCommands().Find(CM_RESTORE_OPTIONS)->defer_if_busy);
  EXPECT_FALSE(MainCommands().Find(CM_GIF_COLORS)->defer_if_busy);
  EXPECT_TRUE(MainCommands().Find(CM_OPEN)->defer_if_busy);
}

}  // namespace
