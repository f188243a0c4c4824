// The scripted headless run: ZENTROPE_SCRIPT=FILE gives input one event per
// line, and ZENTROPE_SCREEN=out.png saves the main window's screen when the
// run ends. The script language (README.md, "Scripted headless runs"):
//
//   key NAME            Ctrl+, Shift+ and Alt+ prefixes; NAME is a letter, a
//                       digit, Space, Enter, Tab, Backspace, Esc, Insert,
//                       Delete, Home, End, PgUp, PgDn, Left, Right, Up, Down,
//                       F1..F12, Num0..Num9, Num*, Num+, Num-, Num/, or one
//                       other character typed as it is ("+", "*", "^")
//   command ID          posts the command to the main window
//   click X Y [right] [double] [ctrl] [shift] [alt]
//   drag X1 Y1 X2 Y2 [right] [ctrl] [shift] [alt]
//   wait MS             the virtual clock moves on
//   answer BUTTON [TEXT]  the answer for the next dialog: BUTTON is ok,
//                       cancel, yes, no or a button id; file dialogs take TEXT
//                       as the chosen file names, the colour chooser as
//                       "R G B", the program's dialogs as ID=VALUE pairs or
//                       as the text of their first edit field
//
// Blank lines and lines starting with '#' are skipped. After each line the
// event loop runs until it is idle, so every line sees the effect of the one
// before it.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/headless/headless_backend.h"

inline constexpr char kScriptVariable[] = "ZENTROPE_SCRIPT";
inline constexpr char kScreenVariable[] = "ZENTROPE_SCREEN";

struct ScriptStep {
  enum class Kind { kKey, kCharacter, kCommand, kClick, kDrag, kWait, kAnswer };
  Kind kind = Kind::kKey;
  int line = 0;
  int virtual_key = 0;  // kKey
  int character = 0;    // kKey (0: none) and kCharacter
  Modifiers modifiers;  // keys and mouse
  std::uint32_t command = 0;
  Point from;  // click point, drag start
  Point to;    // drag end
  bool right = false;
  bool double_click = false;
  std::uint32_t milliseconds = 0;
  std::string button;  // kAnswer: the button word as written, lower-cased
  std::string text;    // kAnswer: the rest of the line
};

struct ParsedScript {
  std::vector<ScriptStep> steps;
  // "line N: ..." for the first line that could not be read; empty when fine.
  std::string error;
};

ParsedScript ParseHeadlessScript(std::string_view text);

// Answers the next dialog of any kind from the pending `answer` lines, and
// leaves the rest to the headless dialogs' own script and defaults.
class TScriptDialogs final : public DialogService {
 public:
  explicit TScriptDialogs(THeadlessDialogs& inner) : inner_(inner) {}

  void Answer(const ScriptStep& answer) { pending_.push_back(answer); }
  std::size_t Pending() const { return pending_.size(); }

  DialogAnswer ShowMessageBox(const MessageBoxRequest& request) override;
  OpenFileResult OpenFile(const OpenFileRequest& request) override;
  SaveFileResult SaveFile(const SaveFileRequest& request) override;
  std::optional<ColorRef> ChooseColour(const ColourRequest& request) override;
  int RunDialog(const DialogTemplate& dialog, WindowId owner) override;

 private:
  std::optional<ScriptStep> Take();

  THeadlessDialogs& inner_;
  std::deque<ScriptStep> pending_;
};

// The headless backend whose dialogs answer `answer` lines. The entry
// routine makes this one (instead of the plain headless backend) for every
// headless run, so a script can answer whatever the program asks.
class THeadlessRunBackend final : public THeadlessBackend {
 public:
  explicit THeadlessRunBackend(const HeadlessOptions& options)
      : THeadlessBackend(options), answers_(ScriptedDialogs()) {}
  DialogService& Dialogs() override { return answers_; }
  TScriptDialogs& Answers() { return answers_; }

 private:
  TScriptDialogs answers_;
};

// Options for a run: a script runs on the virtual clock, so `wait` lines and
// the delays they serve are exact.
HeadlessOptions HeadlessRunOptions(bool scripted);

// Feeds a parsed script to the main window, one line at a time.
class THeadlessRun {
 public:
  // `answers` may be null when the script has no answer lines.
  THeadlessRun(THeadlessBackend& backend, WindowId main_window, std::vector<ScriptStep> steps,
               TScriptDialogs* answers);

  // Runs the next line and then the loop until it is idle (or quits). False
  // when no line is left or the program quit.
  bool Step();
  void RunToEnd() {
    while (Step()) {
    }
  }
  bool Done() const { return next_ >= steps_.size(); }

 private:
  void Inject(const ScriptStep& step);
  void RunLoop();

  THeadlessBackend& backend_;
  WindowId main_window_;
  std::vector<ScriptStep> steps_;
  TScriptDialogs* answers_;
  std::size_t next_ = 0;
};

struct HeadlessRunRequest {
  std::string script_file;  // empty: no script
  std::string screen_file;  // empty: no screen saved
};
HeadlessRunRequest HeadlessRunFromEnvironment();

// Runs the script when one is named (the loop first settles the start-up),
// then saves the main window's screen as PNG when asked. Closing the window
// is the caller's. False with a one-line `error` when the script cannot be
// read or parsed (nothing is run then) or the screen cannot be written.
bool RunHeadlessScript(THeadlessRunBackend& backend, WindowId main_window,
                       const HeadlessRunRequest& request, std::string* error);
