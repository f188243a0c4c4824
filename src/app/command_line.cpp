#include "app/command_line.h"

#include <array>
#include <string_view>

#include "platform/path.h"
#include "platform/system_folder.h"
#include "settings/decimal.h"
#include "show/event_action.h"

namespace {

enum class Keyword { Directory, Print, Convert, Install };

struct KeywordInfo {
  std::string_view name;
  Keyword keyword;
  int event_action;  // for conversions
};

// Tried in this order; the first keyword that begins with the option's name wins,
// so "-p" prints, "-c" converts to GIF and "-d" changes the directory.
constexpr std::array<KeywordInfo, 9> kKeywords = {{
    {"Directory", Keyword::Directory, 0},
    {"Print", Keyword::Print, kPrintAction},
    {"ConvertToGIF", Keyword::Convert, kSaveGifAction},
    {"ConvertToBMP", Keyword::Convert, kSaveBmpAction},
    {"ConvertToPCX", Keyword::Convert, kSavePcxAction},
    {"ConvertToTGA", Keyword::Convert, kSaveTgaAction},
    {"ConvertToJPG", Keyword::Convert, kSaveJpgAction},
    {"ConvertToTIF", Keyword::Convert, kSaveTifAction},
    {"Install", Keyword::Install, 0},
}};

// The value an integer option takes without "=" or with a text that is no number.
constexpr int kDefaultOptionValue = 1;

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// "/" starts absolute paths here, so only "-" and a letter make an option.
bool IsOption(std::string_view argument) {
  return argument.size() >= 2 && argument[0] == '-' && IsLetter(argument[1]);
}

bool CountsAsFileArgument(std::string_view argument) {
  return !argument.empty() && argument[0] != '-';
}

struct Option {
  std::string_view name;
  std::string_view value;
  bool has_value = false;
};

Option SplitOption(std::string_view argument) {
  const std::string_view body = argument.substr(1);
  const auto equals = body.find('=');
  if (equals == std::string_view::npos) return {body, {}, false};
  return {body.substr(0, equals), body.substr(equals + 1), true};
}

const KeywordInfo* FindKeyword(std::string_view name) {
  for (const auto& info : kKeywords) {
    if (StartsWithNoCase(info.name, name)) return &info;
  }
  return nullptr;
}

// The settings half of starting (or, when one runs, stopping) the slideshow,
// then the settings that make every picture be printed or saved once.
SlideshowRunAction StartSlideshowRun(TProfile& profile, int event_action) {
  SlideshowRunAction run{event_action, profile.Get(IntKey::RunSlideshow) == 0};
  if (run.slideshow_started) {
    profile.HoldSnapshot();
    profile.Set(IntKey::RunSlideshow, 1);
  } else {
    // A second run option stops the slideshow. Its settings would then
    // outlive the run and be saved at exit, so it sets none.
    if (profile.SnapshotHeld()) profile.ReleaseSnapshot();
    profile.Set(IntKey::RunSlideshow, 0);
    return run;
  }
  for (IntKey key :
       {IntKey::RandomOrder, IntKey::SoundEnable, IntKey::MovieEnable, IntKey::DelayBetweenImages,
        IntKey::DelayBetweenSounds, IntKey::DelayBetweenMovies}) {
    profile.Set(key, 0);
  }
  profile.Set(IntKey::ImageDisplayEvent, event_action);
  profile.Set(IntKey::SlideshowDoneEvent, kExitProgramAction);
  return run;
}

void InterpretOption(TProfile& profile, std::string_view argument,
                     const DefaultPrinterQuery& default_printer,
                     std::vector<StartupAction>& actions) {
  const Option option = SplitOption(argument);
  const KeywordInfo* keyword = FindKeyword(option.name);
  if (keyword == nullptr) {
    const int value = option.has_value ? ParseDecimalInt(option.value).value_or(kDefaultOptionValue)
                                       : kDefaultOptionValue;
    profile.SetIntByName(option.name, value);  // no matching key: ignored
    return;
  }
  switch (keyword->keyword) {
    case Keyword::Directory:
      if (!option.value.empty())
        actions.push_back(ChangeDirectoryAction{std::string(option.value)});
      return;
    case Keyword::Print:
      if (default_printer && default_printer()) {
        actions.push_back(StartSlideshowRun(profile, keyword->event_action));
      }
      return;
    case Keyword::Convert:
      actions.push_back(StartSlideshowRun(profile, keyword->event_action));
      return;
    case Keyword::Install:
      actions.push_back(ChangeDirectoryAction{WindowsDirectory()});
      actions.push_back(InstallAction{});
      return;
  }
}

}  // namespace

std::vector<StartupAction> InterpretCommandLine(TProfile& profile,
                                                const std::vector<std::string>& arguments,
                                                const DefaultPrinterQuery& default_printer) {
  int file_arguments = 0;
  for (const auto& argument : arguments) {
    if (CountsAsFileArgument(argument)) ++file_arguments;
  }

  std::vector<StartupAction> actions;
  for (const auto& argument : arguments) {
    if (argument.empty()) continue;
    if (IsOption(argument)) {
      InterpretOption(profile, argument, default_printer, actions);
      continue;
    }
    // One file alone brings its folder along, unless a slideshow is to show
    // exactly what was named.
    const bool alone = file_arguments != 1 || profile.Get(IntKey::RunSlideshow) != 0;
    AddFileSpecAction spec{argument, profile.Get(IntKey::OpenIndex), !alone, false};
    spec.search_subdirectories = spec.with_siblings && profile.Get(IntKey::AutoSearch) != 0;
    actions.push_back(std::move(spec));
  }
  return actions;
}

bool HasRunOption(const std::vector<std::string>& arguments) {
  for (const auto& argument : arguments) {
    if (!IsOption(argument)) continue;
    const KeywordInfo* keyword = FindKeyword(SplitOption(argument).name);
    if (keyword && (keyword->keyword == Keyword::Print || keyword->keyword == Keyword::Convert)) {
      return true;
    }
  }
  return false;
}

std::vector<StartupAction> InterpretStartup(TProfile& profile, RunMode mode,
                                            const std::vector<std::string>& arguments,
                                            const DefaultPrinterQuery& default_printer) {
  if (mode == RunMode::Viewer) return InterpretCommandLine(profile, arguments, default_printer);
  AddFileSpecAction spec{ExpandHome(profile.Get(StringKey::FileSpec)),
                         profile.Get(IntKey::OpenIndex), false,
                         profile.Get(IntKey::AutoSearch) != 0};
  return {spec};
}
