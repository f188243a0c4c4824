// zpicture: the picture engine from the shell, for tests and measurements.
//
//   zpicture info FILE [-Key=Value...]          format, size, depth, colours, comments
//   zpicture ppm FILE OUT.ppm [-Key=Value...]   the loaded picture, upright, as binary PPM
//   zpicture convert IN OUT [-Key=Value...]     load, then save by OUT's extension
//
// Settings start from the built-in defaults; options after the files set
// integer or string settings by name (abbreviations allowed) as on the
// program's command line.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "../common/tool_session.h"
#include "formats/picture_rgb.h"
#include "image/picture_formats.h"
#include "platform/file_buffer.h"
#include "platform/log_sink.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

class CommentCollector : public CommentSink {
 public:
  void AppendCommentChar(int ch) override {
    if (ch == 0) {
      text_.clear();
    } else {
      text_.push_back(static_cast<char>(ch));
    }
  }
  const std::string& Text() const { return text_; }
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

int Usage() {
  std::fputs(
      "usage: zpicture info FILE [-Key=Value ...]\n"
      "       zpicture ppm FILE OUT.ppm [-Key=Value ...]\n"
      "       zpicture convert IN OUT [-Key=Value ...]\n",
      stderr);
  return kExitUsage;
}

// False, with the reason on stderr, unless the reader created the picture;
// a refused file must not pass on the placeholder as if it were the picture.
bool Load(const std::string& path, TImage& image, const TProfile& settings, std::string& format) {
  const LoadImageResult result = LoadImageWithStatus(path, image, &settings);
  format = result.format;
  switch (result.status) {
    case LoadStatus::kLoaded:
      return true;
    case LoadStatus::kCancelled:
      std::fprintf(stderr, "zpicture: %s: loading was cancelled\n", path.c_str());
      return false;
    case LoadStatus::kRefused:
      std::fprintf(stderr, "zpicture: %s: %s file refused\n", path.c_str(), format.c_str());
      return false;
    case LoadStatus::kUnrecognised:
      break;
  }
  std::fprintf(stderr, "zpicture: %s: not a picture this program reads\n", path.c_str());
  return false;
}

int Info(const std::string& path, const TProfile& settings) {
  CommentCollector comments;
  InstallCommentSink(&comments);
  TImage image;
  std::string format;
  const bool loaded = Load(path, image, settings, format);
  InstallCommentSink(nullptr);
  if (!loaded) return kExitFailed;
  std::printf("format: %s\n", format.c_str());
  // The size as the picture is seen: a camera's orientation tag may turn it.
  const ImageSize size = UprightSize(image);
  std::printf("size: %d x %d\n", size.width, size.height);
  std::printf("bytes per pixel: %d\n", image.GetBytesPerPixel());
  std::printf("colours: %d\n", image.GetColourCount());
  if (!comments.Text().empty()) std::printf("comments: %s\n", comments.Text().c_str());
  return kExitOk;
}

bool WritePpm(const std::string& path, const TImage& image) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  std::vector<char> buffer(kFileBufferSize);
  std::setvbuf(file, buffer.data(), _IOFBF, buffer.size());
  const ImageSize size = UprightSize(image);
  bool written = std::fprintf(file, "P6\n%d %d\n255\n", size.width, size.height) > 0;
  std::vector<std::uint8_t> row(std::size_t(3) * size.width);
  for (int y = 0; y < size.height && written; ++y) {
    UprightRowToRgb(image, y, row.data());
    written = std::fwrite(row.data(), 1, row.size(), file) == row.size();
  }
  return std::fclose(file) == 0 && written;
}

int Ppm(const std::string& in, const std::string& out, const TProfile& settings) {
  TImage image;
  std::string format;
  if (!Load(in, image, settings, format)) return kExitFailed;
  if (!WritePpm(out, image)) {
    std::fprintf(stderr, "zpicture: cannot write %s\n", out.c_str());
    return kExitFailed;
  }
  return kExitOk;
}

// After a load the program sorts the palette, builds the representative
// palette of a 24-bit picture and trims borders, as its settings ask.
void PrepareLikeTheViewer(TImage& image, const TProfile& settings) {
  if (settings.Get(IntKey::SortPalette) != 0) SortPaletteByUse(image);
  if (image.GetBytesPerPixel() == 3) image.MakeRepresentativePalette();
  if (settings.Get(IntKey::AutoCrop) != 0) image.AutoCrop();
}

// False, with the reason on stderr, when an option names no setting.
bool ApplyOptions(TProfile& settings, const std::vector<std::string_view>& options) {
  for (std::string_view option : options) {
    if (!SetOptionByName(settings, option)) {
      std::fprintf(stderr, "zpicture: unknown setting %.*s\n", static_cast<int>(option.size()),
                   option.data());
      return false;
    }
  }
  return true;
}

int Convert(const std::string& in, const std::string& out, TProfile& settings) {
  // The comments travel with the picture, as they do in the program.
  CommentCollector comments;
  InstallCommentSink(&comments);
  TImage image;
  std::string format;
  const bool loaded = Load(in, image, settings, format);
  if (loaded) PrepareLikeTheViewer(image, settings);
  const bool saved = loaded && SaveWithSettings(out, image, settings) == 0;
  InstallCommentSink(nullptr);
  if (!loaded) return kExitFailed;
  if (!saved) {
    std::fprintf(stderr, "zpicture: cannot save %s\n", out.c_str());
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  if (args.size() < 2) return Usage();
  TToolSettingsFolder folder;
  StderrLog log;
  InstallLogSink(&log);
  RegisterPictureFormats();
  TProfile settings;
  UseDefaultSettings(settings);

  const std::string_view command = args[0];
  const std::string first(args[1]);
  // Each verb's files come first; settings follow them.
  std::size_t files = 0;
  if (command == "info") {
    files = 1;
  } else if (command == "ppm" || command == "convert") {
    files = 2;
  }
  int status = kExitUsage;
  if (files == 0 || args.size() < 1 + files) {
    Usage();
  } else if (ApplyOptions(settings,
                          {args.begin() + 1 + static_cast<std::ptrdiff_t>(files), args.end()})) {
    if (command == "info") {
      status = Info(first, settings);
    } else if (command == "ppm") {
      status = Ppm(first, std::string(args[2]), settings);
    } else {
      status = Convert(first, std::string(args[2]), settings);
    }
  }
  InstallLogSink(nullptr);
  return status;
}
