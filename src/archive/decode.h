// TDecode: the Decode command's uudecoder. It reads chosen text files and the
// numbered parts that follow them, and writes the files their begin lines
// name beside them. One TDecode serves a whole command, so a file left open at
// the end of one chosen input continues in the next.
//
// A decoded file replaces an existing one of its name only once it is
// complete (the zero-length line and "end" seen, every byte written); a short
// or failed decode leaves the old file as it was.
#pragma once

#include <string>
#include <vector>

#include "archive/encoded_text.h"
#include "archive/replacement_file.h"

class TDecode {
 public:
  TDecode() = default;
  // Finish(), so a file still open is reported short.
  ~TDecode();
  TDecode(const TDecode&) = delete;
  TDecode& operator=(const TDecode&) = delete;

  // Decodes `path` and its parts 2..99 until one cannot be opened.
  void Decode(const std::string& path);
  // Ends a file still open: it is short, so it is dropped and reported.
  void Finish();

  // True once any file could not be created or completed.
  bool failed() const { return failed_; }
  // Files decoded completely and put in place.
  int completed() const { return completed_; }

 private:
  void ProcessLine(TextLine& line);
  void StartFile(const TextLine& line);
  void CloseFile();
  void DataLine(TextLine& line);
  bool IsPartOfSet(const std::string& output) const;

  TReplacementFile output_;
  std::string set_path_;  // the chosen file whose parts are read
  std::string path_;      // the part being read
  int input_ = -1;        // its descriptor while it is read
  bool last_full_ = false;
  bool saw_terminator_ = false;
  bool lenient_ = true;
  bool failed_ = false;
  int completed_ = 0;
};

// The Decode command over the chosen files: one TDecode for all of them, with
// the busy cursor shown meanwhile. False when any file failed.
bool RunDecode(const std::vector<std::string>& paths);
