// InputStream: the one buffered, seekable read stream every picture reader,
// the zip lister and the unzipper read through. Opened on a path it presents
// the bytes of a plain file, of the first member of a zip archive (later
// members through stream_next_member), or of uuencoded / base64 text decoded
// from up to 99 numbered parts (and, when that text carries a zip, its first
// member). The calls mirror getc, fread, fseek, ftell, ferror and fclose.
//
// Failures are sticky: once the stream is in error every read returns end of
// data until the next member is opened.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Fixed sizes of the stream.
inline constexpr std::size_t kStreamInputChunk = 8192;             // compressed input per push
inline constexpr std::size_t kStreamPageSize = 32768;              // one decoded page / the window
inline constexpr std::size_t kStreamPageCount = 2048;              // pages held in memory
inline constexpr std::uint32_t kStreamMaxPagedSize = 67108864;     // 2048 pages of 32 KB
inline constexpr std::uint32_t kStreamTempFileThreshold = 262143;  // larger members go to a file
inline constexpr std::uint32_t kZipLocalHeaderSignature = 0x04034b50;
inline constexpr std::size_t kZipLocalHeaderSize = 30;

// The raw-deflate state of a deflated member; defined beside the inflater.
struct StreamInflater;
struct StreamInflaterDeleter {
  void operator()(StreamInflater* inflater) const;
};

struct InputStream {
  std::int32_t count = 0;           // bytes left in the window after the cursor
  unsigned char* cursor = nullptr;  // next byte of the window; null when not positioned
  std::int32_t error = 0;           // 0 or 1, sticky until the next member
  std::array<unsigned char, kStreamInputChunk> inbuf{};
  std::array<std::unique_ptr<unsigned char[]>, kStreamPageCount> pages;
  std::array<unsigned char, kStreamPageSize> window{};
  std::uint32_t window_base = 0xFFFFFFFF;  // all ones: no page loaded
  int backing = -1;            // descriptor decoded bytes are read from; -1 when pages are used
  std::uint32_t consumed = 0;  // compressed bytes fed to the inflater
  std::uint32_t produced = 0;  // decoded bytes available
  std::uint32_t header_offset = 0;
  std::uint32_t data_offset = 0;
  std::uint32_t signature = 0;
  std::uint32_t version = 0, flags = 0, method = 0, time = 0, date = 0;
  std::uint32_t crc = 0;
  std::uint32_t compressed_size = 0, size = 0;
  std::uint32_t name_length = 0, extra_length = 0;
  std::unique_ptr<char[]> name;  // NUL-terminated; null when there is none
  std::string path;
  int file = -1;  // the source file, or the temporary file of decoded text
  std::unique_ptr<StreamInflater, StreamInflaterDeleter> inflater;
  std::uint32_t position = 0;  // logical read position, 0..size
  std::uint32_t running_crc = 0xFFFFFFFF;
  bool temp_backing = false;  // `backing` is a temporary file this member owns

  InputStream() = default;
  InputStream(const InputStream&) = delete;
  InputStream& operator=(const InputStream&) = delete;
  ~InputStream();
};

// What a walker learns about the current zip member.
struct ZipMemberInfo {
  std::uint32_t signature;
  std::uint32_t version;
  std::uint32_t flags;
  std::uint32_t method;
  std::uint32_t time;
  std::uint32_t date;
  std::uint32_t crc;
  std::uint32_t compressed_size;
  std::uint32_t size;
  std::uint32_t name_length;
  std::uint32_t extra_length;
  const char* name;  // owned by the stream, valid until the next member
  const char* path;  // owned by the stream
};

// Null when the file cannot be opened. Otherwise the stream, even when opening
// its first member put it in error (the first read reports it). `mode` is "rb".
// A path that runs through a zip archive ("comic.cbz/page01.jpg", see
// zip_member_path.h) opens that one member as its archive's directory lists it.
InputStream* stream_open(const char* path, const char* mode);

// Refills the window at the position and returns its byte, or -1.
int stream_fill(InputStream* stream);

// The per-byte read: 0..255, or -1 at the end of data or in error.
inline int stream_getc(InputStream* stream) {
  if (--stream->count >= 0) return *stream->cursor++;
  return stream_fill(stream);
}

// Whole items at the position, clipped to the bytes left; 0 in error or at the end.
std::size_t stream_read(void* buffer, std::size_t item_size, std::size_t item_count,
                        InputStream* stream);
// whence 0 start, 1 position, 2 end. 0, or -1 in error or out of 0..size.
int stream_seek(InputStream* stream, long offset, int whence);
long stream_tell(InputStream* stream);
// 0, or -1 when the error state is set.
int stream_error(InputStream* stream);
// 0 when the current member has a local header; -1 otherwise.
int stream_member_info(InputStream* stream, ZipMemberInfo* info);
// Ends the member and opens the next local header; 0 when the new one has a name.
int stream_next_member(InputStream* stream);
// Ends the member, closes and frees; returns the error state (0 or 1).
int stream_close(InputStream* stream);

// Ownership for callers that hold a stream in a scope; the result of the
// close is dropped, so callers that need it call stream_close themselves.
struct InputStreamCloser {
  void operator()(InputStream* stream) const { stream_close(stream); }
};
using InputStreamPtr = std::unique_ptr<InputStream, InputStreamCloser>;
