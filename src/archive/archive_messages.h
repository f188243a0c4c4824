// The log texts of the Decode, Encode, Zip info and Unzip commands.
#pragma once

inline constexpr char kLogDecoding[] = "Decoding %s";
inline constexpr char kLogCreated[] = "Created %s";
inline constexpr char kLogShortDecode[] = "Error decoding, wrote a short file";
inline constexpr char kLogEncoding[] = "Encoding %s";
inline constexpr char kLogUnsafeName[] = "Did not create %s - unsafe file name.";
inline constexpr char kLogOwnInput[] = "Did not create %s - it is the file being read.";
inline constexpr char kLogCannotCreate[] = "Did not create %s - %s.";
inline constexpr char kLogWriteFailed[] = "Error writing %s - %s.";
inline constexpr char kLogReadFailed[] = "Error reading %s";
inline constexpr char kLogUnableToOpen[] = "Unable to open %s";
inline constexpr char kLogZipInfoFor[] = "Zip Info for %s";
inline constexpr char kLogZipColumns[] = "Length  Date     Time  Name";
inline constexpr char kLogZipRule[] = "------- -------- ----- ------------";
inline constexpr char kLogZipMemberFormat[] = "%7ld %2.2d-%2.2d-%2.2d %2.2d:%2.2d %s";
inline constexpr char kLogNotAZip[] = "This file is not a zip file.";
inline constexpr char kLogObsoleteMethod[] = "Did not create %s - obsolete compression type.";
inline constexpr char kLogShortZipRead[] = "Error reading zip file, wrote a short file %s";
inline constexpr char kLogShortZipWrite[] = "Error writing %s, wrote a short file";
inline constexpr char kLogZipDamaged[] = "%s is damaged or needs a newer unzipper.";
// Picture members an archive shown as a folder leaves out, with "archive/member".
inline constexpr char kLogMemberEncrypted[] = "Skipped %s - it is encrypted.";
inline constexpr char kLogMemberMethod[] = "Skipped %s - unsupported compression type.";
inline constexpr char kLogMemberTooLarge[] = "Skipped %s - too large to read.";
inline constexpr const char* kZipAdvice[] = {
    "This file was produced by an old version of pkzip and can not",
    "be read by Zentrope.  Please press F1 and choose ZIP Utilities",
    "for information about utilities to read this file.",
};
