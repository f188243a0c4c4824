// The classes root of the registry, kept as a text file in the system folder:
// keys named by backslash-separated paths ("Zentrope\shell\open\command"),
// each with a default value ("@") and named values. Key and value names
// compare without case. The file reads like a registry export:
//
//   [HKEY_CLASSES_ROOT\Zentrope]
//   @="Zentrope File"
//
// Every change reads the file afresh and replaces it atomically (temporary
// file, flush, rename); lines it does not understand are kept, and a file that
// exists but cannot be read is never replaced.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr char kRegistryFileName[] = "registry.reg";

class TRegistryStore {
 public:
  // <system folder>/registry.reg
  TRegistryStore();
  explicit TRegistryStore(std::string file) : file_(std::move(file)) {}

  const std::string& File() const { return file_; }

  // The value (empty name: the key's default value); nothing when the key or
  // value is missing, or when the value with its terminating zero would not
  // fit `buffer_size` bytes (0: any length).
  std::optional<std::string> QueryValue(std::string_view key, std::string_view name = {},
                                        std::size_t buffer_size = 0) const;
  // Whether the key or any key below it exists.
  bool KeyExists(std::string_view key) const;
  // The keys right under the root (".gif", "Zentrope"), in file order.
  std::vector<std::string> TopLevelKeys() const;

  // Sets a value, creating the key. False when the file cannot be written or
  // a name or value holds a line break or zero, or the key path is malformed.
  bool SetValue(std::string_view key, std::string_view name, std::string_view value);
  // Removes the key with every key below it. True when none is left.
  bool DeleteKey(std::string_view key);
  // Removes one value. True when it is gone.
  bool DeleteValue(std::string_view key, std::string_view name = {});

 private:
  std::string file_;
};
