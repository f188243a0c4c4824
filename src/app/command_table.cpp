#include "app/command_table.h"

#include <initializer_list>
#include <string>

#include "app/command_ids.h"
#include "platform/key_names.h"
#include "platform/virtual_keys.h"

namespace {
constexpr Modifiers kNone{};
constexpr Modifiers kShift{true, false, false};
constexpr Modifiers kCtrl{false, true, false};
constexpr Modifiers kAlt{false, false, true};
constexpr Modifiers kCtrlShift{true, true, false};
constexpr Modifiers kAltShift{true, false, true};

Accelerator Key(int key, std::uint32_t command, Modifiers modifiers = kNone) {
  return Accelerator{Accelerator::Kind::kVirtualKey, key, modifiers, command};
}

// A typed character: '+' from the main keyboard, whatever key makes it.
Accelerator Char(char character, std::uint32_t command, Modifiers modifiers = kNone) {
  return Accelerator{Accelerator::Kind::kCharacter, character, modifiers, command};
}

std::vector<Accelerator> Entries() {
  std::vector<Accelerator> entries = {
      // File.
      Key('O', CM_OPEN),
      Key('C', CM_CLOSE),
      Key('V', CM_SAVE_AS),
      Key('W', CM_SAVE_WALLPAPER),
      Key('P', CM_PRINT),
      Key('S', CM_PRINT_SETUP),
      Key('M', CM_PRINT_MARGINS),
      Key('T', CM_DISPLAY_THUMBNAILS),
      Key(kVkSpace, CM_NEXT),
      Key(kVkReturn, CM_RANDOM),
      Key(kVkBack, CM_PREVIOUS),
      Key(kVkInsert, CM_COPY_IMAGE_TO),
      Key(kVkInsert, CM_COPY_SOUND_TO, kCtrl),
      Key(kVkInsert, CM_COPY_MOVIE_TO, kAlt),
      Key(kVkInsert, CM_MOVE_IMAGE_TO, kShift),
      Key(kVkInsert, CM_MOVE_SOUND_TO, kCtrlShift),
      Key(kVkInsert, CM_MOVE_MOVIE_TO, kAltShift),
      Key(kVkDelete, CM_DELETE_IMAGE),
      Key(kVkDelete, CM_DELETE_SOUND, kCtrl),
      Key(kVkDelete, CM_DELETE_MOVIE, kAlt),
      Key(kVkDelete, CM_DELETE_FILES, kShift),
      Key('D', CM_DECODE),
      Key('E', CM_ENCODE),
      Key('U', CM_UNZIP),
      Key('I', CM_ZIP_INFO),
      Key('H', CM_SHOW_COMMENTS),
      Key('L', CM_SHOW_LOG),
      Key('X', CM_EXIT),
      // Edit.
      Key('C', CM_COPY_IMAGE, kCtrl),
      Key('V', CM_PASTE_IMAGE, kCtrl),
      Key('O', CM_COPY_COMMENTS, kCtrl),
      Key('M', CM_PASTE_COMMENTS, kCtrl),
      Key('W', CM_COPY_WINDOW, kCtrl),
      // Image.
      Key(kVkPrior, CM_ZOOM_IN),
      Key(kVkPrior, CM_CROP, kShift),
      Key(kVkNext, CM_ZOOM_OUT),
      Key(kVkEnd, CM_ROTATE),
      Key(kVkEnd, CM_MIRROR, kShift),
      Key(kVkEnd, CM_FLIP, kCtrl),
      Char('+', CM_BRIGHTER),
      Key(kVkAdd, CM_BRIGHTER),
      Char('-', CM_DIMMER),
      Key(kVkSubtract, CM_DIMMER),
      Char('*', CM_MORE_CONTRAST),
      Key(kVkMultiply, CM_MORE_CONTRAST),
      Char('/', CM_LESS_CONTRAST),
      Key(kVkDivide, CM_LESS_CONTRAST),
      Char('^', CM_INVERT),
      Key(kVkHome, CM_RESET),
      Key(kVkHome, CM_RELOAD, kShift),
      // Sound and movie.
      Key(kVkF2, CM_SOUND_ENABLE, kCtrl),
      Key(kVkF3, CM_SOUND_SYNCHRONOUS, kCtrl),
      Char('+', CM_SOUND_LOUDER, kCtrl),
      Key(kVkAdd, CM_SOUND_LOUDER, kCtrl),
      Char('-', CM_SOUND_SOFTER, kCtrl),
      Key(kVkSubtract, CM_SOUND_SOFTER, kCtrl),
      Char('*', CM_SOUND_LOOP, kCtrl),
      Key(kVkMultiply, CM_SOUND_LOOP, kCtrl),
      Key(kVkHome, CM_SOUND_REPLAY, kCtrl),
      Key(kVkF2, CM_MOVIE_ENABLE, kAlt),
      Key(kVkF3, CM_MOVIE_SYNCHRONOUS, kAlt),
      Char('*', CM_MOVIE_LOOP, kAlt),
      Key(kVkMultiply, CM_MOVIE_LOOP, kAlt),
      Key(kVkHome, CM_MOVIE_REPLAY, kAlt),
      // Slideshow.
      Key('R', CM_RUN_SLIDESHOW),
      Key('G', CM_GO_TO_SLIDE),
      Key('F', CM_FILE_SPEC),
      // Options.
      Key(kVkF5, CM_SAVE_OPTIONS),
      Key(kVkF6, CM_RESTORE_OPTIONS),
      Key(kVkF7, CM_DEFAULT_OPTIONS),
      Key(kVkF8, CM_REMEMBER_OPTIONS),
      Key('B', CM_THUMBNAILS_ENABLE),
      Key(kVkF9, CM_THUMBNAILS_ACROSS),
      Key(kVkF10, CM_THUMBNAILS_DOWN),
      Key(kVkEscape, CM_FILL_WINDOW),
      Key('Q', CM_QUICK_LOOK),
      Key(kVkTab, CM_AUTO_SCALE),
      Key(kVkTab, CM_AUTO_FIT, kShift),
      // Help.
      Key(kVkF1, CM_HELP_CONTENTS),
      Key(kVkF1, CM_HELP_USING, kCtrl),
      Key('A', CM_ABOUT),
  };
  for (int effect = 0; effect < 12; ++effect) {
    entries.push_back(Key(kVkF1 + effect, CM_EFFECT_DIRECT + effect, kShift));
  }
  // Keyboard-only panning: plain, Shift, Ctrl and Alt arrows.
  const int arrows[] = {kVkLeft, kVkUp, kVkRight, kVkDown};
  const Modifiers forms[] = {kNone, kShift, kCtrl, kAlt};
  for (int form = 0; form < 4; ++form) {
    for (int arrow = 0; arrow < 4; ++arrow) {
      entries.push_back(Key(
          arrows[arrow], CM_PAN_LEFT + static_cast<std::uint32_t>(form * 4 + arrow), forms[form]));
    }
  }
  return entries;
}

std::string ShortcutOf(std::uint32_t command) {
  for (const Accelerator& entry : MainAcceleratorEntries()) {
    if (entry.command == command) return AcceleratorText(entry);
  }
  return {};
}

MenuItem Item(std::uint32_t id, const char* text) {
  return MenuItem::Command(id, text, ShortcutOf(id));
}

MenuItem Sub(std::uint32_t id, const char* text, std::vector<MenuItem> items) {
  return MenuItem::Submenu(id, text, std::move(items));
}

MenuItem Sep() {
  return MenuItem::Separator();
}

// The eleven event actions; the three display events call action 0 "None".
std::vector<MenuItem> EventItems(std::uint32_t base, const char* first) {
  const char* const texts[kEventActionCount] = {first,           "&Print",       "Save as &GIF",
                                                "Save as &BMP",  "Save as PC&X", "Save as &TGA",
                                                "Save as &JPG",  "Save as TI&F", "&Stop slideshow",
                                                "&Exit program", "&Ignore"};
  std::vector<MenuItem> items;
  for (int action = 0; action < kEventActionCount; ++action) {
    items.push_back(Item(base + static_cast<std::uint32_t>(action), texts[action]));
  }
  return items;
}

MenuItem FileMenu() {
  return Sub(
      kMenuFile, "&File",
      {Item(CM_OPEN, "&Open..."),
       Item(CM_CLOSE, "&Close"),
       Item(CM_SAVE_AS, "Sa&ve as..."),
       Item(CM_SAVE_WALLPAPER, "Save &wallpaper..."),
       Sep(),
       Item(CM_PRINT, "&Print..."),
       Item(CM_PRINT_SETUP, "Print &setup..."),
       Item(CM_PRINT_MARGINS, "Print &margins..."),
       Sep(),
       Item(CM_DISPLAY_THUMBNAILS, "Display &thumbnails"),
       Sep(),
       Item(CM_NEXT, "&Next"),
       Item(CM_RANDOM, "R&andom"),
       Item(CM_PREVIOUS, "Prev&ious"),
       Sep(),
       Sub(kMenuCopy, "Cop&y",
           {Item(CM_COPY_IMAGE_TO, "Copy &image to..."),
            Item(CM_COPY_SOUND_TO, "Copy &sound to..."),
            Item(CM_COPY_MOVIE_TO, "Copy &movie to...")}),
       Sub(kMenuMove, "Mov&e",
           {Item(CM_MOVE_IMAGE_TO, "Move &image to..."),
            Item(CM_MOVE_SOUND_TO, "Move &sound to..."),
            Item(CM_MOVE_MOVIE_TO, "Move &movie to...")}),
       Sub(kMenuDelete, "&Delete",
           {Item(CM_DELETE_IMAGE, "Delete &image"), Item(CM_DELETE_SOUND, "Delete &sound"),
            Item(CM_DELETE_MOVIE, "Delete &movie"), Sep(),
            Item(CM_DELETE_FILES, "Delete &files...")}),
       Sub(kMenuConvert, "Conve&rt",
           {Item(CM_CONVERT_TO_GIF, "Convert to &GIF..."),
            Item(CM_CONVERT_TO_BMP, "Convert to &BMP..."),
            Item(CM_CONVERT_TO_PCX, "Convert to PC&X..."),
            Item(CM_CONVERT_TO_TGA, "Convert to &TGA..."),
            Item(CM_CONVERT_TO_JPG, "Convert to &JPG..."),
            Item(CM_CONVERT_TO_TIF, "Convert to TI&F...")}),
       Sub(kMenuUuencode, "&Uuencode",
           {Item(CM_DECODE, "&Decode..."), Item(CM_ENCODE, "&Encode...")}),
       Sub(kMenuZip, "&Zip", {Item(CM_UNZIP, "&Unzip..."), Item(CM_ZIP_INFO, "Zip &info...")}),
       Sub(kMenuShow, "S&how",
           {Item(CM_SHOW_COMMENTS, "S&how comments"), Item(CM_SHOW_LOG, "Show &log")}),
       Sep(),
       Item(CM_EXIT, "E&xit")});
}

MenuItem EditMenu() {
  return Sub(kMenuEdit, "&Edit",
             {Item(CM_COPY_IMAGE, "&Copy image"), Item(CM_PASTE_IMAGE, "&Paste image"), Sep(),
              Item(CM_COPY_COMMENTS, "Copy c&omments"), Item(CM_PASTE_COMMENTS, "Paste co&mments"),
              Sep(), Item(CM_COPY_WINDOW, "Copy &window")});
}

MenuItem ImageMenu() {
  return Sub(
      kMenuImage, "&Image",
      {Item(CM_ZOOM_IN, "&Zoom in"), Item(CM_CROP, "&Crop"), Item(CM_ZOOM_OUT, "Zoom &out"), Sep(),
       Item(CM_ROTATE, "Ro&tate"), Item(CM_MIRROR, "&Mirror"), Item(CM_FLIP, "&Flip"), Sep(),
       Item(CM_BRIGHTER, "&Brighter"), Item(CM_DIMMER, "&Dimmer"),
       Item(CM_MORE_CONTRAST, "More co&ntrast"), Item(CM_LESS_CONTRAST, "&Less contrast"),
       Item(CM_INVERT, "&Invert"), Sep(), Item(CM_RESET, "&Reset"), Item(CM_RELOAD, "R&eload")});
}

MenuItem SoundMenu() {
  return Sub(kMenuSound, "&Sound",
             {Item(CM_SOUND_ENABLE, "&Enable"), Item(CM_SOUND_SYNCHRONOUS, "S&ynchronous"), Sep(),
              Item(CM_SOUND_LOUDER, "&Louder"), Item(CM_SOUND_SOFTER, "&Softer"), Sep(),
              Item(CM_SOUND_LOOP, "Loo&p"), Item(CM_SOUND_REPLAY, "&Replay")});
}

MenuItem MovieMenu() {
  return Sub(kMenuMovie, "&Movie",
             {Item(CM_MOVIE_ENABLE, "&Enable"), Item(CM_MOVIE_SYNCHRONOUS, "S&ynchronous"), Sep(),
              Item(CM_MOVIE_LOOP, "Loo&p"), Item(CM_MOVIE_REPLAY, "&Replay")});
}

MenuItem SlideshowMenu() {
  return Sub(
      kMenuSlideshow, "S&lideshow",
      {Item(CM_RUN_SLIDESHOW, "&Run slideshow"), Sep(), Item(CM_GO_TO_SLIDE, "&Go to slide..."),
       Item(CM_FILE_SPEC, "&File spec..."), Sep(),
       Item(CM_DELAY_BETWEEN_IMAGES, "&Delay between images..."),
       Item(CM_DELAY_BETWEEN_SOUNDS, "De&lay between sounds..."),
       Item(CM_DELAY_BETWEEN_MOVIES, "Dela&y between movies..."), Sep(),
       Item(CM_RANDOM_ORDER, "R&andom order"), Item(CM_ERASE_NEW_PAGES, "&Erase new pages"), Sep(),
       Sub(kMenuKeystrokeEvent, "&Keystroke event", EventItems(CM_KEYSTROKE_EVENT, "&Normal")),
       Sub(kMenuMouseButtonEvent, "Mouse &button event",
           EventItems(CM_MOUSE_BUTTON_EVENT, "&Normal")),
       Sub(kMenuMouseMovementEvent, "Mouse &movement event",
           EventItems(CM_MOUSE_MOVEMENT_EVENT, "&Normal")),
       Sub(kMenuImageDisplayEvent, "&Image display event",
           EventItems(CM_IMAGE_DISPLAY_EVENT, "&None")),
       Sub(kMenuScreenDoneEvent, "S&creen done event", EventItems(CM_SCREEN_DONE_EVENT, "&None")),
       Sub(kMenuSlideshowDoneEvent, "&Slideshow done event",
           EventItems(CM_SLIDESHOW_DONE_EVENT, "&None"))});
}

std::vector<MenuItem> Items(std::uint32_t first, std::initializer_list<const char*> texts) {
  std::vector<MenuItem> items;
  std::uint32_t id = first;
  for (const char* text : texts) items.push_back(Item(id++, text));
  return items;
}

MenuItem OptionsMenu() {
  return Sub(
      kMenuOptions, "&Options",
      {Item(CM_SAVE_OPTIONS, "Sa&ve options"),
       Item(CM_RESTORE_OPTIONS, "&Restore options"),
       Item(CM_DEFAULT_OPTIONS, "Defau&lt options"),
       Item(CM_REMEMBER_OPTIONS, "Remem&ber options"),
       Sep(),
       Sub(kMenuThumbnails, "&Thumbnails",
           {Item(CM_THUMBNAILS_ENABLE, "Ena&ble"), Item(CM_THUMBNAILS_RANDOM, "&Random"),
            Item(CM_THUMBNAILS_ANNOTATE, "A&nnotate"), Item(CM_THUMBNAILS_OUTLINE, "&Outline"),
            Sep(), Item(CM_THUMBNAILS_ACROSS, "&Across..."), Item(CM_THUMBNAILS_DOWN, "&Down...")}),
       Sub(kMenuDisplay, "&Display",
           {Item(CM_FILL_WINDOW, "&Fill window"), Item(CM_ALWAYS_ON_TOP, "&Always on top"),
            Item(CM_DISPLAY_IN_COLOR, "&Display in color"),
            Item(CM_ENABLE_3D_CONTROLS, "Enable &3d controls"),
            Item(CM_ENABLE_LARGE_DIALOGS, "Enable &large dialogs")}),
       Sub(kMenuPrint, "&Print",
           {Item(CM_PRINT_IN_COLOR, "Print in &color"),
            Item(CM_PRINT_DITHERED, "Print &dithered")}),
       Sub(kMenuColors, "&Colors",
           {Item(CM_BACKGROUND_COLOR, "&Background color..."),
            Item(CM_FOREGROUND_COLOR, "&Foreground color...")}),
       Sep(),
       Sub(kMenuGif, "&GIF",
           {Item(CM_GIF_INTERLACED, "&Interlaced"), Item(CM_GIF_TRANSPARENT, "&Transparent"),
            Item(CM_GIF_COLORS, "&Colors..."), Item(CM_GIF_LZW_ENABLE, "&LZW enable")}),
       Sub(kMenuJpeg, "&JPEG",
           [] {
             std::vector<MenuItem> items =
                 Items(CM_JPEG_TWO_PASS,
                       {"&Two pass", "&Use dithering", "Use mo&nochrome", "&Block smoothing",
                        "&Pixel smoothing", "Output &monochrome", "Output &optimize"});
             items.push_back(Sep());
             items.push_back(Item(CM_JPEG_OUTPUT_QUALITY, "Output &quality..."));
             items.push_back(Item(CM_JPEG_OUTPUT_SMOOTHING, "Output &smoothing..."));
             return items;
           }()),
       Sub(kMenuTiff, "TI&FF",
           Items(CM_TIFF_NO_COMPRESSION,
                 {"&No compression", "CCITT &RLE", "CCITT Group &3", "CCITT Group &4", "&LZW"})),
       Sep(),
       Sub(kMenuInput, "&Input",
           {Item(CM_QUICK_LOOK, "&Quick look"), Item(CM_SORT_PALETTE, "&Sort palette")}),
       Sub(kMenuOutput, "&Output",
           {Item(CM_OUTPUT_WIDTH, "Output &width..."), Item(CM_OUTPUT_HEIGHT, "Output &height..."),
            Item(CM_ENCODE_LINES, "Encode &lines...")}),
       Sub(kMenuDithering, "Dit&hering",
           Items(CM_DITHER_LOW, {"&Low quality", "&Medium quality", "&High quality"})),
       Sub(kMenuEffects, "&Effects",
           Items(CM_EFFECT_DIRECT, {"&Direct", "&Fast", "&Horizontal", "&Vertical",
                                    "Horizon&tal blinds", "Vertica&l blinds", "Check &in",
                                    "Check &out", "Box i&n", "Box o&ut", "Di&ssolve", "&Random"})),
       Sub(kMenuAuto, "&Auto",
           Items(CM_AUTO_SCALE,
                 {"&Scale", "&Fit", "&Crop", "&Dither", "Co&mments", "Se&arch", "&Resume"})),
       Sep(),
       Sub(kMenuPassword, "Pa&ssword",
           {Item(CM_STARTUP_PASSWORD, "&Startup password"),
            Item(CM_SLIDESHOW_PASSWORD, "S&lideshow password"),
            Item(CM_SET_PASSWORD, "Set &password...")})});
}

MenuItem UtilitiesMenu() {
  return Sub(kMenuUtilities, "&Utilities",
             {Item(CM_INSTALL, "&Install Zentrope"), Item(CM_REMOVE, "&Remove Zentrope"), Sep(),
              Item(CM_INSTALL_SAVER, "In&stall screen saver"),
              Item(CM_REMOVE_SAVER, "Re&move screen saver"),
              Item(CM_CONFIGURE_SAVER, "&Configure screen saver"),
              Item(CM_TEST_SAVER, "&Test screen saver"), Sep(),
              Item(CM_INSTALL_EXTENSION, "Install &extension"),
              Item(CM_REMOVE_EXTENSION, "Remove e&xtension")});
}

MenuItem HelpMenu() {
  return Sub(kMenuHelp, "&Help",
             {Item(CM_HELP_CONTENTS, "&Contents..."), Item(CM_HELP_USING, "&Using help..."), Sep(),
              Item(CM_ABOUT, "&About...")});
}
}  // namespace

TMenuBar MainMenuBar() {
  return TMenuBar({FileMenu(), EditMenu(), ImageMenu(), SoundMenu(), MovieMenu(), SlideshowMenu(),
                   OptionsMenu(), UtilitiesMenu(), HelpMenu()});
}

const std::vector<Accelerator>& MainAcceleratorEntries() {
  static const std::vector<Accelerator> entries = Entries();
  return entries;
}

const TAcceleratorTable& MainAccelerators() {
  static const TAcceleratorTable table(MainAcceleratorEntries());
  return table;
}
