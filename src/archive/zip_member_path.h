// Paths that run through a zip archive: "/pics/comic.cbz/page01.jpg" names
// the member "page01.jpg" of the file "/pics/comic.cbz". No such path can name
// a file of its own, since a regular file cannot hold a directory entry.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct ArchiveMemberPath {
  std::string archive;  // the regular file
  std::string member;   // the rest of the path, as the file list shows the member
};

// Splits at the first component that is a regular file; nothing when no
// component is one or nothing follows it.
std::optional<ArchiveMemberPath> SplitArchiveMemberPath(std::string_view path);

// "archive/member".
std::string JoinArchiveMemberPath(std::string_view archive, std::string_view member);
