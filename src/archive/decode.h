// TDecode: the Decode command's uudecoder. It reads chosen text files and the
// numbered parts that follow them, and writes the files their begin lines
// name beside them. One TDecode serves a whole command, so a file left open at
// the end of one chosen input continues in the next.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "archive/encoded_text.h"

class TDecode {
 public:
  TDecode() = default;
  // Logs a short file when one is still open.
  ~TDecode();
  TDecode(const TDecode&) = delete;
  TDecode& operator=(const TDecode&) = delete;

  // Decodes `path` and its parts 2..99 until one cannot be opened.
  void Decode(const std::string& path);

 private:
  void ProcessLine(TextLine& line);
  void StartFile(const TextLine& line);
  void CloseFile();
  void DataLine(TextLine& line);

  BufferedFile file_;
  std::string path_;  // the part being read
  int input_ = -1;    // its descriptor while it is read
  bool last_full_ = false;
  bool saw_terminator_ = false;
  bool lenient_ = true;
};

// The Decode command over the chosen files: one TDecode for all of them, with
// the busy cursor shown meanwhile.
void RunDecode(const std::vector<std::string>& paths);
