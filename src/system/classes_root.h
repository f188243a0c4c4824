// The registry's classes root as the program sees it: the registry store,
// mirrored into the desktop so that file managers follow it.
//
// - An extension key (".gif") whose value is "Zentrope" makes zentrope.desktop
//   the default application of the extension's MIME types in mimeapps.list;
//   a value naming a desktop entry ("eog.desktop") makes that entry the
//   default; deleting the key takes zentrope.desktop away again.
// - Reading an extension key also sees the desktop: a default the user (or
//   another program) chose there is the extension's class, whether the store
//   has none or one that the desktop no longer follows.
// - The open and print commands under "Zentrope\shell" become zentrope.desktop
//   and its print action, together with the program's own MIME types;
//   deleting them removes both.
// - An extension no MIME database knows (Install extension "xyz") gets a type
//   of its own in the program's MIME package while its class is Zentrope,
//   so that the desktop can name its default at all.
//
// Every change leaves the store and the desktop as they were when either
// cannot be written.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "system/registry_store.h"
#include "system/xdg_places.h"

inline constexpr char kOpenCommandKey[] = "Zentrope\\shell\\open\\command";
inline constexpr char kPrintCommandKey[] = "Zentrope\\shell\\print\\command";
inline constexpr char kShellKey[] = "Zentrope\\shell";
inline constexpr char kSaveKey[] = "Zentrope\\save";

class TClassesRoot {
 public:
  TClassesRoot(TRegistryStore& store, XdgPlaces places)
      : store_(store), places_(std::move(places)) {}

  const XdgPlaces& Places() const { return places_; }

  // A key's default value; nothing when missing or longer than `buffer_size`
  // bytes with its terminating zero (0: any length).
  std::optional<std::string> QueryValue(std::string_view key, std::size_t buffer_size = 0) const;
  bool SetValue(std::string_view key, std::string_view value);
  // Deletes the key and every key below it.
  bool DeleteKey(std::string_view key);

 private:
  bool MirrorExtension(std::string_view extension, std::string_view value);
  bool UnmirrorExtension(std::string_view extension);
  // The extension's only type is the one the program declares for it.
  bool HasDeclaredType(std::string_view extension) const;
  // Extensions whose class is Zentrope and whose type the program declares.
  std::vector<std::string> DeclaredExtensions() const;
  // The program's entry and MIME package as the store has them now.
  bool RefreshDesktopFiles();
  bool Restore(std::string_view key, const std::optional<std::string>& previous);

  TRegistryStore& store_;
  XdgPlaces places_;
};

// The desktop entry a class stands for: "Zentrope" is zentrope.desktop, a
// class named like "eog.desktop" is that entry; others have none.
std::optional<std::string> DesktopIdOfClass(std::string_view class_name);
