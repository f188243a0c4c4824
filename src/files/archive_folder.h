// Zip archives shown as folders of pictures: each picture member becomes an
// entry of the file list named "archive/member" (zip_member_path.h), which
// the input stream opens like a file. Such entries are pictures to look at,
// convert and save, but not files to copy, move or delete.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// ".zip" and ".cbz", any case.
bool IsArchiveFolderExtension(std::string_view extension);
// The file-type indexes whose scans look into archives: the pictures, the
// zip files, all known files and all files.
bool ClassTakesArchiveFolders(int index);

// The entry names of the archive's readable picture members (by extension),
// control bytes replaced, sorted as the list sorts names so that an archive
// steps through like the folder it was made from. Picture members that cannot
// be read are logged and left out, as is a damaged directory's rest. Empty when
// the file has no directory or no picture in it.
std::vector<std::string> ArchivePictureNames(const std::string& archive_path);

// True when the path names a member inside an archive rather than a file.
bool IsArchiveMember(std::string_view path);

// "comic.cbz/page01.jpg" for a member: the archive's file name and the member;
// empty for any other path.
std::string ArchiveMemberCaptionName(std::string_view path);

// Where a picture's own files (saved or converted copies) go: beside the
// archive, under the member's base name, for a member; the path itself
// otherwise.
std::string PathBesideArchive(std::string_view path);
