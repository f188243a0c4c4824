// .mci scripts: one command template per line, sent in order until one fails.
#include <cstdio>
#include <string>

#include "media/media_messages.h"
#include "media/media_playback.h"
#include "platform/log_sink.h"
#include "settings/profile.h"

namespace {

class ScriptFile {
 public:
  explicit ScriptFile(const std::string& name) : file_(std::fopen(name.c_str(), "rt")) {}
  ~ScriptFile() {
    if (file_) std::fclose(file_);
  }
  ScriptFile(const ScriptFile&) = delete;
  ScriptFile& operator=(const ScriptFile&) = delete;
  bool IsOpen() const { return file_ != nullptr; }

  // The next line with its line end; false at the end of the file.
  bool ReadLine(std::string* line) {
    line->clear();
    int ch = 0;
    while ((ch = std::fgetc(file_)) != EOF) {
      line->push_back(static_cast<char>(ch));
      if (ch == '\n') break;
    }
    return !line->empty();
  }

 private:
  std::FILE* file_;
};

void RemoveLineEnd(std::string* line) {
  while (!line->empty() && (line->back() == '\n' || line->back() == '\r')) line->pop_back();
}

}  // namespace

void TMediaPlayback::RunScript(const std::string& name) {
  ScriptFile script(name);
  if (!script.IsOpen()) {
    LogLine(kMciErrorLog, kScriptUnreadable);
    return;
  }
  std::string line;
  while (script.ReadLine(&line)) {
    if (line.size() < 2) continue;
    bool sent = false;
    if (line.size() > kMaxScriptLine) {
      // Sending the line in pieces would send commands nobody wrote.
      RemoveLineEnd(&line);
      LogLine(kMciCommandLog, line);
      LogLine(kMciErrorLog, kScriptLineTooLong);
    } else {
      RemoveLineEnd(&line);
      sent = SendMciCommand(line, {}, false);
    }
    if (!sent) {
      Send(StringKey::MCICloseCommand, {}, false);
      script_active_ = false;
      return;
    }
    script_active_ = true;
  }
}
