// make-samples: writes the bundled sample pictures in every format the engine
// writes.
//
//   make-samples DIR                          every sample, every format, into DIR
//   make-samples --photo WIDTH HEIGHT FILE    one photo-like picture, format by FILE's extension
//
// A format whose writer is not part of the engine yet is skipped with a note.
#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "../common/tool_session.h"
#include "image/image_limits.h"
#include "platform/log_sink.h"
#include "sample_pictures.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

constexpr int kSamplePhotoWidth = 640;
constexpr int kSamplePhotoHeight = 480;

constexpr std::array<std::string_view, kSaveTypeCount> kExtensions = {"gif", "bmp", "pcx", "tga",
                                                                      "jpg", "tif", "png"};

struct Sample {
  std::string_view name;
  std::function<void(TImage&)> draw;
  // "Key=Value" settings for this sample only.
  std::vector<std::string_view> options;
  // Only written in this format when set (a GIF feature, say).
  std::string_view only_extension;
  // Stored by the formats that keep comments.
  std::string_view comment;
};

std::vector<Sample> Samples() {
  return {
      {"photo",
       [](TImage& image) { DrawPhoto(image, kSamplePhotoWidth, kSamplePhotoHeight); },
       {},
       {},
       {}},
      {"lineart", DrawLineArt, {}, {}, {}},
      {"text",
       [](TImage& image) { DrawText(image, "Zentrope sample text 0123456789"); },
       {},
       {},
       {}},
      {"palette", DrawPalettePicture, {}, {}, "Zentrope sample: 256 colours in 16 hues\r\n"},
      {"bilevel", DrawBilevel, {}, {}, {}},
      {"transparent", DrawFigureOnBorder, {"GIFInterlaced=1", "GIFTransparent=1"}, "gif", {}},
  };
}

// The comment a writer finds as the comments window's text.
class FixedComment : public CommentSink {
 public:
  explicit FixedComment(std::string_view text) : text_(text) {}
  void AppendCommentChar(int /*ch*/) override {}
  std::string CommentText() const override { return text_; }

 private:
  std::string text_;
};

class StderrLog : public LogSink {
 public:
  void AppendLogLine(std::string_view line) override {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
  }
};

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

enum class SaveOutcome { kWritten, kNoWriter, kFailed };

// SaveImage fails without creating a file when no writer is registered.
SaveOutcome Save(const std::string& path, TImage& image, const TProfile& settings) {
  std::remove(path.c_str());
  if (SaveWithSettings(path, image, settings) == 0) return SaveOutcome::kWritten;
  return FileExists(path) ? SaveOutcome::kFailed : SaveOutcome::kNoWriter;
}

int WriteSamples(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    std::fprintf(stderr, "make-samples: cannot create %s\n", folder.c_str());
    return kExitFailed;
  }
  std::array<bool, kSaveTypeCount> missing{};
  int status = kExitOk;
  for (const Sample& sample : Samples()) {
    TProfile settings;
    UseDefaultSettings(settings);
    for (std::string_view option : sample.options) SetOptionByName(settings, option);
    TImage image;
    sample.draw(image);
    FixedComment comment(sample.comment);
    InstallCommentSink(&comment);
    for (int type = 1; type <= kSaveTypeCount; ++type) {
      const std::string_view extension = kExtensions[type - 1];
      if (!sample.only_extension.empty() && sample.only_extension != extension) continue;
      const std::string path =
          folder + "/" + std::string(sample.name) + "." + std::string(extension);
      const SaveOutcome outcome = Save(path, image, settings);
      if (outcome == SaveOutcome::kNoWriter) missing[type - 1] = true;
      if (outcome == SaveOutcome::kFailed) {
        std::fprintf(stderr, "make-samples: cannot write %s\n", path.c_str());
        status = kExitFailed;
      }
    }
    InstallCommentSink(nullptr);
  }
  for (int type = 1; type <= kSaveTypeCount; ++type) {
    if (missing[type - 1]) {
      std::fprintf(stderr, "make-samples: no %.*s writer in this build; skipped\n",
                   static_cast<int>(kExtensions[type - 1].size()), kExtensions[type - 1].data());
    }
  }
  return status;
}

int WritePhoto(std::string_view width_text, std::string_view height_text, const std::string& path) {
  const int width = std::atoi(std::string(width_text).c_str());
  const int height = std::atoi(std::string(height_text).c_str());
  if (width < 1 || height < 1 || width > kMaxRowBytes / 3 || height > kMaxRows) {
    std::fprintf(stderr, "make-samples: a photo is 1 to %d by 1 to %d pixels\n", kMaxRowBytes / 3,
                 kMaxRows);
    return kExitUsage;
  }
  TProfile settings;
  UseDefaultSettings(settings);
  TImage image;
  DrawPhoto(image, width, height);
  if (Save(path, image, settings) != SaveOutcome::kWritten) {
    std::fprintf(stderr, "make-samples: cannot write %s\n", path.c_str());
    return kExitFailed;
  }
  return kExitOk;
}

int Usage() {
  std::fputs(
      "usage: make-samples DIR\n"
      "       make-samples --photo WIDTH HEIGHT FILE\n",
      stderr);
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  TToolSettingsFolder folder;
  StderrLog log;
  InstallLogSink(&log);
  RegisterPictureFormats();
  int status = kExitUsage;
  if (args.size() == 1 && args[0].front() != '-') {
    status = WriteSamples(std::string(args[0]));
  } else if (args.size() == 4 && args[0] == "--photo") {
    status = WritePhoto(args[1], args[2], std::string(args[3]));
  } else {
    Usage();
  }
  InstallLogSink(nullptr);
  return status;
}
