// Set-up shared by the fuzz targets that reach a reader through LoadImage,
// which takes a file name, so every input goes through a private file.
#pragma once

#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "formats/register_formats.h"
#include "image/image.h"
#include "image/picture_formats.h"
#include "settings/profile.h"

class FuzzLoadSupport {
  // First, so the folder exists before the settings below are made.
  std::string folder_;

 public:
  explicit FuzzLoadSupport(const std::string& reader) : folder_(Prepare(reader)) {}

  TProfile settings;

  // Writes the bytes to the input file and loads it; a file that cannot be
  // written is skipped, as it says nothing about the reader.
  void Load(const std::vector<std::uint8_t>& bytes) {
    const std::string path = folder_ + "/input";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    auto image = std::make_unique<TImage>();
    LoadImage(path, *image, &settings);
  }

  // Loads the input with its first bytes replaced by `signature`, so every
  // input reaches the reader the signature names.
  void LoadWithSignature(std::string_view signature, const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bytes(data, data + size);
    if (bytes.size() >= signature.size()) {
      std::copy(signature.begin(), signature.end(), bytes.begin());
    }
    Load(bytes);
  }

 private:
  // Keeps the settings away from the user's folder.
  static std::string Prepare(const std::string& reader) {
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz-" + reader + "-XXXXXX";
    if (mkdtemp(folder.data()) == nullptr) folder = "/tmp";
    setenv("ZENTROPE_WINDIR", folder.c_str(), 1);
    RegisterPictureFormats();
    return folder;
  }
};

// One per target, made on the first input.
inline FuzzLoadSupport& SharedFuzzLoad(const std::string& reader) {
  static FuzzLoadSupport support(reader);
  return support;
}

// The last input byte picks QuickLook, and with the JPEG options also
// quantizing, grey output and smoothing, so those paths run too.
inline void ChooseReadSettings(TProfile& settings, const std::uint8_t* data, std::size_t size,
                               bool jpeg_options) {
  const int choice = size > 0 ? data[size - 1] : 0;
  settings.Set(IntKey::QuickLook, choice & 1);
  if (!jpeg_options) return;
  settings.Set(IntKey::JPEGTwoPass, (choice >> 1) & 1);
  settings.Set(IntKey::JPEGUseMonochrome, (choice >> 2) & 1);
  settings.Set(IntKey::JPEGBlockSmoothing, (choice >> 3) & 1);
  settings.Set(IntKey::JPEGPixelSmoothing, (choice >> 4) & 1);
}
