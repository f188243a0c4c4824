// TProfile: the settings record. 100 clamped integers and 48 strings with
// built-in defaults, kept in a private settings file whose name and section
// follow the run mode. Changes stay in memory until written.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "settings/profile_keys.h"

class TProfile {
 public:
  using IntValues = std::array<int, kIntKeyCount>;

  // Defaults for the current run mode, JPEGTwoPass from the display depth, the
  // file and section for the run mode, Restore, and the first-start reset.
  TProfile();

  int Get(IntKey key) const { return ints_[static_cast<int>(key)]; }
  // In memory only, not clamped (Save clamps).
  void Set(IntKey key, int value) { ints_[static_cast<int>(key)] = value; }
  const std::string& Get(StringKey key) const;
  // Keeps an owned copy only when the text differs (case counted) from the
  // built-in default.
  void Set(StringKey key, std::string_view text);
  // True while the string holds an owned copy rather than the built-in default.
  bool HasOwnedCopy(StringKey key) const;

  const IntValues& Ints() const { return ints_; }
  void SetInts(const IntValues& values) { ints_ = values; }
  // The values right after construction, used by Save and Defaults.
  const IntValues& DefaultInts() const { return default_ints_; }

  // Reads all 148 values from the file; missing keys keep integers as they are
  // and strings at their built-in defaults; integers are clamped.
  void Restore();
  // Writes all 148 values; a value equal to its default deletes its key. False
  // when the file cannot be written (the values in memory are clamped anyway).
  bool Save();
  // Everything back to the values right after construction.
  void Defaults();

  // The first integer key whose beginning matches `name` (case ignored) takes
  // `value` clamped to its range. False when no key matches.
  bool SetIntByName(std::string_view name, int value);
  bool SetStringByName(std::string_view name, std::string_view text);

  // The built-in default of a string key (shared, never owned).
  static const std::string& BuiltInDefault(StringKey key);

  // Writes one integer key at once ("%d", clamped; deleted when equal to its
  // default). False when the file cannot be written.
  bool WriteInt(IntKey key);
  // "Directory" (the current directory) and the six copy and move folders.
  bool SaveDirectories();
  // An empty name deletes the key.
  bool WriteCurrentImage(std::string_view name);
  std::string ReadCurrentImage() const;
  // Changes to the stored "Directory" when there is one; false otherwise.
  bool RestoreDirectory() const;

  // The slideshow snapshot of the integers: hold copies them, release puts them back.
  void HoldSnapshot();
  void ReleaseSnapshot();
  bool SnapshotHeld() const { return snapshot_held_; }

  const std::string& Section() const { return section_; }
  const std::string& File() const { return file_; }
  // True when this construction was the program's first start for this user.
  bool WasFirstStart() const { return first_start_; }

 private:
  IntValues ints_{};
  std::array<std::optional<std::string>, kStringKeyCount> owned_strings_;
  IntValues default_ints_{};
  IntValues snapshot_{};
  bool snapshot_held_ = false;
  std::string section_;
  std::string file_;
  bool first_start_ = false;

  void ChooseFileAndSection();
  bool WriteKey(const char* key, const std::string& value);
};
