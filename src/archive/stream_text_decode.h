// The stream's own decoders of uuencoded and base64 text: they gather the
// parts of a set (part 1 the path itself, then parts 2..99 by name) into one
// run of bytes. The Decode command's file-producing decoder is separate.
#pragma once

#include <string>

// Both return false only when writing to `out` failed.
bool UudecodeToFile(const std::string& path, int out);
bool Base64DecodeToFile(const std::string& path, int out);
