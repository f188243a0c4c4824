#include "app/headless_run.h"

#include <cctype>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/headless/surface_image_file.h"
#include "platform/virtual_keys.h"

namespace {
// Steps of the loop after one line; a slideshow's idle may never end by itself.
constexpr int kLoopStepsPerLine = 200000;
// The keypad digits with Num Lock on.
constexpr int kKeypadZero = 0x60;

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words;
  std::istringstream in{std::string(text)};
  std::string word;
  while (in >> word) words.push_back(word);
  return words;
}

// Words, with "double quotes" keeping blanks inside a word.
std::vector<std::string> QuotedWords(std::string_view text) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i >= text.size()) break;
    std::string word;
    if (text[i] == '"') {
      const std::size_t close = text.find('"', i + 1);
      word =
          std::string(text.substr(i + 1, close == std::string_view::npos ? close : close - i - 1));
      i = close == std::string_view::npos ? text.size() : close + 1;
    } else {
      while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])))
        word += text[i++];
    }
    words.push_back(std::move(word));
  }
  return words;
}

template <typename Number>
bool ParseNumber(std::string_view text, Number* value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return error == std::errc() && end == text.data() + text.size();
}

struct NamedKey {
  const char* name;
  int virtual_key;
  int character;
};

constexpr NamedKey kNamedKeys[] = {
    {"space", kVkSpace, ' '},   {"enter", kVkReturn, 0},   {"return", kVkReturn, 0},
    {"tab", kVkTab, 0},         {"backspace", kVkBack, 0}, {"esc", kVkEscape, 0},
    {"escape", kVkEscape, 0},   {"insert", kVkInsert, 0},  {"ins", kVkInsert, 0},
    {"delete", kVkDelete, 0},   {"del", kVkDelete, 0},     {"home", kVkHome, 0},
    {"end", kVkEnd, 0},         {"pgup", kVkPrior, 0},     {"pageup", kVkPrior, 0},
    {"pgdn", kVkNext, 0},       {"pagedown", kVkNext, 0},  {"left", kVkLeft, 0},
    {"right", kVkRight, 0},     {"up", kVkUp, 0},          {"down", kVkDown, 0},
    {"num*", kVkMultiply, '*'}, {"num+", kVkAdd, '+'},     {"num-", kVkSubtract, '-'},
    {"num/", kVkDivide, '/'},
};

bool ParseKey(std::string_view spec, ScriptStep* step, std::string* error) {
  // Prefixes first, so "Ctrl++" is Ctrl with '+'.
  for (;;) {
    const std::string lower = Lower(spec.substr(0, 6));
    if (lower.starts_with("ctrl+") && spec.size() > 5) {
      step->modifiers.control = true;
      spec.remove_prefix(5);
    } else if (lower.starts_with("shift+") && spec.size() > 6) {
      step->modifiers.shift = true;
      spec.remove_prefix(6);
    } else if (lower.starts_with("alt+") && spec.size() > 4) {
      step->modifiers.alt = true;
      spec.remove_prefix(4);
    } else {
      break;
    }
  }
  const std::string name = Lower(spec);
  for (const NamedKey& key : kNamedKeys) {
    if (name == key.name) {
      step->virtual_key = key.virtual_key;
      step->character = key.character;
      return true;
    }
  }
  if (name.size() == 4 && name.starts_with("num") &&
      std::isdigit(static_cast<unsigned char>(name[3]))) {
    step->virtual_key = kKeypadZero + (name[3] - '0');
    step->character = name[3];
    return true;
  }
  int function = 0;
  if (name.size() >= 2 && name[0] == 'f' &&
      ParseNumber(std::string_view(name).substr(1), &function) && function >= 1 && function <= 12) {
    step->virtual_key = kVkF1 + function - 1;
    return true;
  }
  if (spec.size() == 1) {
    const unsigned char c = static_cast<unsigned char>(spec[0]);
    if (std::isalpha(c)) {
      step->virtual_key = std::toupper(c);
      step->character = step->modifiers.shift ? std::toupper(c) : std::tolower(c);
      return true;
    }
    if (std::isdigit(c)) {
      step->virtual_key = c;
      step->character = c;
      return true;
    }
    if (c > ' ' && c < 127) {
      step->kind = ScriptStep::Kind::kCharacter;
      step->character = c;
      return true;
    }
  }
  *error = "unknown key '" + std::string(spec) + "'";
  return false;
}

// Trailing words of click and drag: right, double, ctrl, shift, alt.
bool ParseMouseFlags(const std::vector<std::string>& words, std::size_t first, bool allow_double,
                     ScriptStep* step, std::string* error) {
  for (std::size_t i = first; i < words.size(); ++i) {
    const std::string flag = Lower(words[i]);
    if (flag == "right") {
      step->right = true;
    } else if (flag == "double" && allow_double) {
      step->double_click = true;
    } else if (flag == "ctrl") {
      step->modifiers.control = true;
    } else if (flag == "shift") {
      step->modifiers.shift = true;
    } else if (flag == "alt") {
      step->modifiers.alt = true;
    } else {
      *error = "unknown word '" + words[i] + "'";
      return false;
    }
  }
  return true;
}

bool ParsePoints(const std::vector<std::string>& words, std::size_t count, ScriptStep* step,
                 std::string* error) {
  if (words.size() < 1 + 2 * count) {
    *error = words[0] + " needs " + std::to_string(2 * count) + " coordinates";
    return false;
  }
  Point* points[] = {&step->from, &step->to};
  for (std::size_t i = 0; i < count; ++i) {
    if (!ParseNumber(words[1 + 2 * i], &points[i]->x) ||
        !ParseNumber(words[2 + 2 * i], &points[i]->y)) {
      *error = "coordinates must be whole numbers";
      return false;
    }
  }
  return true;
}

bool ParseLine(std::string_view line, ScriptStep* step, std::string* error) {
  const std::vector<std::string> words = Words(line);
  const std::string verb = Lower(words[0]);
  if (verb == "key") {
    step->kind = ScriptStep::Kind::kKey;
    if (words.size() != 2) {
      *error = "key takes one key name";
      return false;
    }
    return ParseKey(words[1], step, error);
  }
  if (verb == "command") {
    step->kind = ScriptStep::Kind::kCommand;
    if (words.size() != 2 || !ParseNumber(words[1], &step->command)) {
      *error = "command takes one command id";
      return false;
    }
    return true;
  }
  if (verb == "click") {
    step->kind = ScriptStep::Kind::kClick;
    return ParsePoints(words, 1, step, error) && ParseMouseFlags(words, 3, true, step, error);
  }
  if (verb == "drag") {
    step->kind = ScriptStep::Kind::kDrag;
    return ParsePoints(words, 2, step, error) && ParseMouseFlags(words, 5, false, step, error);
  }
  if (verb == "wait") {
    step->kind = ScriptStep::Kind::kWait;
    if (words.size() != 2 || !ParseNumber(words[1], &step->milliseconds)) {
      *error = "wait takes milliseconds";
      return false;
    }
    return true;
  }
  if (verb == "answer") {
    step->kind = ScriptStep::Kind::kAnswer;
    if (words.size() < 2) {
      *error = "answer needs a button";
      return false;
    }
    step->button = Lower(words[1]);
    int id = 0;
    if (step->button != "ok" && step->button != "cancel" && step->button != "yes" &&
        step->button != "no" && !ParseNumber(step->button, &id)) {
      *error = "unknown button '" + words[1] + "'";
      return false;
    }
    const std::size_t at = line.find(words[1], words[0].size()) + words[1].size();
    const std::size_t start = line.find_first_not_of(" \t", at);
    if (start != std::string_view::npos) step->text = std::string(line.substr(start));
    return true;
  }
  *error = "unknown event '" + words[0] + "'";
  return false;
}

int ButtonId(const std::string& button) {
  if (button == "ok") return kIdOk;
  if (button == "cancel") return kIdCancel;
  if (button == "yes") return static_cast<int>(DialogAnswer::kYes);
  if (button == "no") return static_cast<int>(DialogAnswer::kNo);
  int id = kIdCancel;
  ParseNumber(button, &id);
  return id;
}

std::string AbsolutePath(const std::string& path) {
  std::error_code ignored;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
  return absolute.empty() ? path : absolute.lexically_normal().string();
}

// "ID=VALUE" pairs for the controls of `dialog`, or the whole text for its
// first enabled edit field.
std::vector<ControlInput> DialogInputs(const DialogTemplate& dialog, const std::string& text) {
  std::vector<ControlInput> inputs;
  if (text.empty()) return inputs;
  for (const std::string& word : QuotedWords(text)) {
    const std::size_t equals = word.find('=');
    int id = 0;
    if (equals == std::string::npos ||
        !ParseNumber(std::string_view(word).substr(0, equals), &id)) {
      inputs.clear();
      break;
    }
    ControlInput input;
    input.id = id;
    const std::string value = word.substr(equals + 1);
    for (const DialogControl& control : dialog.controls) {
      if (control.id != id) continue;
      int number = 0;
      if (control.kind == ControlKind::kCheckBox) input.checked = value != "0";
      if (control.kind == ControlKind::kDropDownList && ParseNumber(value, &number)) {
        input.selection = number;
      }
      if (control.kind == ControlKind::kEdit) input.text = value;
    }
    inputs.push_back(input);
  }
  if (!inputs.empty()) return inputs;
  for (const DialogControl& control : dialog.controls) {
    if (control.kind == ControlKind::kEdit && control.enabled) {
      ControlInput input;
      input.id = control.id;
      input.text = text;
      return {input};
    }
  }
  return inputs;
}
}  // namespace

ParsedScript ParseHeadlessScript(std::string_view text) {
  ParsedScript script;
  int number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] == '#') continue;
    ScriptStep step;
    step.line = number;
    std::string error;
    if (!ParseLine(line.substr(first), &step, &error)) {
      script.steps.clear();
      script.error = "line " + std::to_string(number) + ": " + error;
      return script;
    }
    script.steps.push_back(std::move(step));
  }
  return script;
}

std::optional<ScriptStep> TScriptDialogs::Take() {
  if (pending_.empty()) return std::nullopt;
  ScriptStep answer = pending_.front();
  pending_.pop_front();
  return answer;
}

DialogAnswer TScriptDialogs::ShowMessageBox(const MessageBoxRequest& request) {
  if (auto answer = Take()) {
    inner_.Script(ScriptedAnswer::Box(static_cast<DialogAnswer>(ButtonId(answer->button))));
  }
  return inner_.ShowMessageBox(request);
}

OpenFileResult TScriptDialogs::OpenFile(const OpenFileRequest& request) {
  if (auto answer = Take()) {
    const std::vector<std::string> paths = QuotedWords(answer->text);
    if (ButtonId(answer->button) == kIdCancel || paths.empty()) {
      inner_.Script(ScriptedAnswer::Cancel(DialogKind::kOpenFile));
    } else {
      const std::filesystem::path first(AbsolutePath(paths.front()));
      const std::string directory = first.parent_path().string();
      std::vector<std::string> names;
      for (const std::string& path : paths) {
        const std::filesystem::path absolute(AbsolutePath(path));
        names.push_back(absolute.parent_path() == first.parent_path() ? absolute.filename().string()
                                                                      : absolute.string());
      }
      inner_.Script(ScriptedAnswer::Open(directory, names));
    }
  }
  return inner_.OpenFile(request);
}

SaveFileResult TScriptDialogs::SaveFile(const SaveFileRequest& request) {
  if (auto answer = Take()) {
    if (ButtonId(answer->button) == kIdCancel || answer->text.empty()) {
      inner_.Script(ScriptedAnswer::Cancel(DialogKind::kSaveFile));
    } else {
      const std::vector<std::string> words = QuotedWords(answer->text);
      inner_.Script(ScriptedAnswer::Save(AbsolutePath(words.front())));
    }
  }
  return inner_.SaveFile(request);
}

std::optional<ColorRef> TScriptDialogs::ChooseColour(const ColourRequest& request) {
  if (auto answer = Take()) {
    const std::vector<std::string> words = Words(answer->text);
    int red = 0, green = 0, blue = 0;
    if (ButtonId(answer->button) == kIdCancel || words.size() != 3 ||
        !ParseNumber(words[0], &red) || !ParseNumber(words[1], &green) ||
        !ParseNumber(words[2], &blue)) {
      inner_.Script(ScriptedAnswer::Cancel(DialogKind::kColour));
    } else {
      inner_.Script(ScriptedAnswer::Colour(MakeRgb(red & 0xFF, green & 0xFF, blue & 0xFF)));
    }
  }
  return inner_.ChooseColour(request);
}

int TScriptDialogs::RunDialog(const DialogTemplate& dialog, WindowId owner) {
  if (auto answer = Take()) {
    inner_.Script(
        ScriptedAnswer::Press(ButtonId(answer->button), DialogInputs(dialog, answer->text)));
  }
  return inner_.RunDialog(dialog, owner);
}

HeadlessOptions HeadlessRunOptions(bool scripted) {
  HeadlessOptions options;
  options.virtual_clock = scripted;
  return options;
}

THeadlessRun::THeadlessRun(THeadlessBackend& backend, WindowId main_window,
                           std::vector<ScriptStep> steps, TScriptDialogs* answers)
    : backend_(backend), main_window_(main_window), steps_(std::move(steps)), answers_(answers) {}

void THeadlessRun::RunLoop() {
  backend_.EventLoop().RunUntilIdle(kLoopStepsPerLine);
}

bool THeadlessRun::Step() {
  if (Done() || backend_.EventLoop().QuitReceived()) return false;
  Inject(steps_[next_++]);
  RunLoop();
  return !backend_.EventLoop().QuitReceived();
}

void THeadlessRun::Inject(const ScriptStep& step) {
  const WindowId window = main_window_;
  const MouseButton button = step.right ? MouseButton::kRight : MouseButton::kLeft;
  switch (step.kind) {
    case ScriptStep::Kind::kKey:
      backend_.PressKey(window, step.virtual_key, step.modifiers, step.character);
      break;
    case ScriptStep::Kind::kCharacter:
      backend_.TypeCharacter(window, step.character, step.modifiers);
      break;
    case ScriptStep::Kind::kCommand:
      backend_.EventLoop().PostCommand(window, step.command);
      break;
    case ScriptStep::Kind::kClick:
      backend_.MoveMouse(window, step.from, step.modifiers);
      if (step.double_click) {
        backend_.DoubleClick(window, button, step.from, step.modifiers);
      } else {
        backend_.PressButton(window, button, step.from, step.modifiers);
        backend_.ReleaseButton(window, button, step.from, step.modifiers);
      }
      break;
    case ScriptStep::Kind::kDrag: {
      const Point middle{(step.from.x + step.to.x) / 2, (step.from.y + step.to.y) / 2};
      backend_.MoveMouse(window, step.from, step.modifiers);
      backend_.PressButton(window, button, step.from, step.modifiers);
      backend_.MoveMouse(window, middle, step.modifiers);
      backend_.MoveMouse(window, step.to, step.modifiers);
      backend_.ReleaseButton(window, button, step.to, step.modifiers);
      break;
    }
    case ScriptStep::Kind::kWait:
      backend_.Clock().Advance(step.milliseconds);
      break;
    case ScriptStep::Kind::kAnswer:
      if (answers_) answers_->Answer(step);
      break;
  }
}

HeadlessRunRequest HeadlessRunFromEnvironment() {
  HeadlessRunRequest request;
  if (const char* script = std::getenv(kScriptVariable)) request.script_file = script;
  if (const char* screen = std::getenv(kScreenVariable)) request.screen_file = screen;
  return request;
}

bool RunHeadlessScript(THeadlessRunBackend& backend, WindowId main_window,
                       const HeadlessRunRequest& request, std::string* error) {
  if (!request.script_file.empty()) {
    std::ifstream in(request.script_file, std::ios::binary);
    if (!in) {
      *error = request.script_file + ": cannot read the script";
      return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    ParsedScript script = ParseHeadlessScript(text.str());
    if (!script.error.empty()) {
      *error = request.script_file + ": " + script.error;
      return false;
    }
    backend.EventLoop().RunUntilIdle(kLoopStepsPerLine);
    THeadlessRun(backend, main_window, std::move(script.steps), &backend.Answers()).RunToEnd();
  }
  if (!request.screen_file.empty()) {
    backend.EventLoop().RunUntilIdle(kLoopStepsPerLine);
    const TWindow* window = backend.EventLoop().Find(main_window);
    if (!window || !SaveSurfacePng(window->ScreenSurface(), request.screen_file)) {
      *error = request.screen_file + ": cannot write the screen";
      return false;
    }
  }
  return true;
}
