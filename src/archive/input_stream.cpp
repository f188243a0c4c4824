#include "archive/input_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <string_view>

#include "archive/regular_input.h"
#include "archive/stream_inflater.h"
#include "archive/stream_text_decode.h"
#include "archive/zip_central_directory.h"
#include "archive/zip_member_path.h"
#include "platform/path.h"
#include "platform/temp_file.h"

namespace {
constexpr std::uint32_t kNoPage = 0xFFFFFFFF;
constexpr std::uint32_t kEncryptedFlag = 1;
constexpr std::uint32_t kMethodStored = 0;
constexpr std::uint32_t kMethodDeflated = 8;
// Deflate cannot expand input more than about 1032 times; a header that
// claims more is a lie or a bomb. Tiny members get a little room.
constexpr std::uint64_t kMaxDeflateRatio = 1032;
constexpr std::uint64_t kDeflateSmallAllowance = 4096;
constexpr std::size_t kTextScanLimit = kStreamInputChunk - 1;
constexpr std::string_view kBase64Marker = "Content-transfer-encoding: base64";

enum class TextScan { kAllowed, kDone };

std::uint32_t Le16(const unsigned char* p) {
  return p[0] | p[1] << 8;
}
std::uint32_t Le32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0] | p[1] << 8 | p[2] << 16) |
         static_cast<std::uint32_t>(p[3]) << 24;
}

// Reads up to `length` bytes at `offset`; returns how many were read.
std::size_t ReadAtMost(int fd, std::uint64_t offset, void* destination, std::size_t length) {
  auto* bytes = static_cast<unsigned char*>(destination);
  std::size_t done = 0;
  while (done < length) {
    const ssize_t got = pread(fd, bytes + done, length - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

bool ReadExactly(int fd, std::uint64_t offset, void* destination, std::size_t length) {
  return ReadAtMost(fd, offset, destination, length) == length;
}

bool WriteExactly(int fd, std::uint64_t offset, const void* source, std::size_t length) {
  const auto* bytes = static_cast<const unsigned char*>(source);
  std::size_t done = 0;
  while (done < length) {
    const ssize_t wrote =
        pwrite(fd, bytes + done, length - done, static_cast<off_t>(offset + done));
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<std::size_t>(wrote);
  }
  return true;
}

int OpenTempDescriptor() {
  std::FILE* file = OpenAnonymousTempFile();
  if (!file) return -1;
  const int fd = fcntl(fileno(file), F_DUPFD_CLOEXEC, 0);
  std::fclose(file);
  return fd;
}

std::uint32_t ClampToU32(std::uint64_t value) {
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(value, 0xFFFFFFFF));
}

// Brings the position up to date from the cursor and leaves the window.
void SyncPosition(InputStream* s) {
  if (s->cursor) {
    s->position = s->window_base + static_cast<std::uint32_t>(s->cursor - s->window.data());
  }
  s->cursor = nullptr;
  s->count = 0;
}

void SetError(InputStream* s) {
  SyncPosition(s);
  s->error = 1;
}

void ReleaseDecoded(InputStream* s) {
  for (auto& page : s->pages) page.reset();
  if (s->temp_backing && s->backing >= 0) close(s->backing);
  s->backing = -1;
  s->temp_backing = false;
  s->window_base = kNoPage;
}

void SetUpStoredPaging(InputStream* s) {
  s->window_base = kNoPage;
  s->backing = s->file;
  s->temp_backing = false;
  s->produced = s->size;
}

void SetUpDeflatedPaging(InputStream* s) {
  s->window_base = kNoPage;
  s->backing = -1;
  if (s->size > kStreamTempFileThreshold) {
    s->backing = OpenTempDescriptor();
    s->temp_backing = s->backing >= 0;
  }
}

bool StoreDecoded(void* context, const unsigned char* data, std::size_t length) {
  auto* s = static_cast<InputStream*>(context);
  const std::uint64_t end = std::uint64_t{s->produced} + length;
  if (end > s->size) return false;
  s->running_crc = ~static_cast<std::uint32_t>(
      crc32(~s->running_crc & 0xFFFFFFFFu, data, static_cast<uInt>(length)));
  if (s->backing >= 0) {
    if (!WriteExactly(s->backing, s->produced, data, length)) return false;
  } else {
    if (end > kStreamMaxPagedSize) return false;
    std::uint64_t offset = s->produced;
    while (length > 0) {
      const std::size_t index = static_cast<std::size_t>(offset / kStreamPageSize);
      const std::size_t within = static_cast<std::size_t>(offset % kStreamPageSize);
      auto& page = s->pages[index];
      if (!page) page.reset(new (std::nothrow) unsigned char[kStreamPageSize]);
      if (!page) return false;
      const std::size_t take = std::min(length, kStreamPageSize - within);
      std::memcpy(page.get() + within, data, take);
      data += take;
      length -= take;
      offset += take;
    }
  }
  s->produced = static_cast<std::uint32_t>(end);
  return true;
}

bool EnsureDecoded(InputStream* s, std::uint64_t target) {
  if (target > s->size) return false;
  while (!s->error && s->produced < target) {
    const std::uint32_t chunk =
        std::min<std::uint32_t>(s->compressed_size - s->consumed, kStreamInputChunk);
    if (chunk == 0 || !s->inflater) {
      SetError(s);  // input ran out before the member was complete
      return false;
    }
    if (!ReadExactly(s->file, std::uint64_t{s->data_offset} + s->consumed, s->inbuf.data(),
                     chunk)) {
      SetError(s);
      return false;
    }
    s->consumed += chunk;
    if (!PushToInflater(s->inflater.get(), s->inbuf.data(), chunk)) {
      SetError(s);
      return false;
    }
  }
  return !s->error;
}

bool ReadAt(InputStream* s, std::uint32_t offset, unsigned char* destination, std::size_t length) {
  const std::uint64_t end = std::uint64_t{offset} + length;
  if (!EnsureDecoded(s, end)) return false;
  if (s->backing >= 0) {
    const std::uint64_t base = s->temp_backing ? 0 : s->data_offset;
    if (!ReadExactly(s->backing, base + offset, destination, length)) {
      SetError(s);
      return false;
    }
    return true;
  }
  if (end > kStreamMaxPagedSize) return false;
  std::uint64_t at = offset;
  while (length > 0) {
    const auto& page = s->pages[static_cast<std::size_t>(at / kStreamPageSize)];
    if (!page) return false;
    const std::size_t within = static_cast<std::size_t>(at % kStreamPageSize);
    const std::size_t take = std::min(length, kStreamPageSize - within);
    std::memcpy(destination, page.get() + within, take);
    destination += take;
    length -= take;
    at += take;
  }
  return true;
}

void ResetMember(InputStream* s, std::uint32_t header_offset) {
  s->count = 0;
  s->cursor = nullptr;
  s->error = 0;
  s->consumed = 0;
  s->produced = 0;
  s->inflater.reset();
  s->position = 0;
  s->running_crc = 0xFFFFFFFF;
  s->name.reset();
  s->header_offset = header_offset;
  s->data_offset = 0;
  s->signature = 0;
  s->version = s->flags = s->method = s->time = s->date = 0;
  s->crc = s->compressed_size = s->size = s->name_length = s->extra_length = 0;
}

void TakeHeaderFields(InputStream* s, const unsigned char* h) {
  s->signature = Le32(h);
  s->version = Le16(h + 4);
  s->flags = Le16(h + 6);
  s->method = Le16(h + 8);
  s->time = Le16(h + 10);
  s->date = Le16(h + 12);
  s->crc = Le32(h + 14);
  s->compressed_size = Le32(h + 18);
  s->size = Le32(h + 22);
  s->name_length = Le16(h + 26);
  s->extra_length = Le16(h + 28);
}

void FailAsStored(InputStream* s) {
  SetUpStoredPaging(s);
  SetError(s);
}

bool DeflatedSizePlausible(const InputStream* s) {
  return s->size <= std::uint64_t{s->compressed_size} * kMaxDeflateRatio + kDeflateSmallAllowance;
}

void OpenLocalHeader(InputStream* s) {
  const std::uint32_t h = s->header_offset;
  if (s->name_length != 0) {
    s->name.reset(new (std::nothrow) char[s->name_length + 1]);
    if (s->name) {
      if (!ReadExactly(s->file, std::uint64_t{h} + kZipLocalHeaderSize, s->name.get(),
                       s->name_length)) {
        s->name.reset();
        FailAsStored(s);
        return;
      }
      s->name[s->name_length] = '\0';
    }
  }
  const std::uint64_t data_offset =
      std::uint64_t{h} + kZipLocalHeaderSize + s->name_length + s->extra_length;
  s->data_offset = ClampToU32(data_offset);
  if (data_offset > 0xFFFFFFFF || (s->flags & kEncryptedFlag) != 0) {
    FailAsStored(s);
    return;
  }
  if (s->method == kMethodDeflated) {
    if (!DeflatedSizePlausible(s)) {
      FailAsStored(s);
      return;
    }
    SetUpDeflatedPaging(s);
    s->inflater.reset(CreateStreamInflater(StoreDecoded, s));
    if (!s->inflater) SetError(s);
    return;
  }
  if (s->method == kMethodStored) {
    SetUpStoredPaging(s);
    return;
  }
  FailAsStored(s);
}

void OpenAsPlainFile(InputStream* s) {
  struct stat info {};
  const std::uint64_t length =
      fstat(s->file, &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
  s->data_offset = 0;
  s->size = s->compressed_size = ClampToU32(length);
  SetUpStoredPaging(s);
}

enum class TextKind { kNone, kUuencoded, kBase64 };

TextKind KindOfLine(std::string_view line) {
  if (line.substr(0, 6) == "begin ") return TextKind::kUuencoded;
  if (StartsWithNoCase(line, kBase64Marker)) return TextKind::kBase64;
  return TextKind::kNone;
}

enum class TextDecode { kNone, kDecoded, kWriteFailed };

// Replaces the source by a temporary file of the text's decoded bytes. kNone
// when the text holds no encoded data or no temporary file could be made.
TextDecode DecodeEncodedText(InputStream* s) {
  const std::size_t length = ReadAtMost(s->file, 0, s->inbuf.data(), kTextScanLimit);
  const std::string_view text(reinterpret_cast<const char*>(s->inbuf.data()), length);
  std::size_t line_start = 0;
  while (line_start < text.size()) {
    const TextKind kind = KindOfLine(text.substr(line_start));
    if (kind != TextKind::kNone) {
      const int temp = OpenTempDescriptor();
      if (temp >= 0) {
        close(s->file);
        s->file = temp;
        const bool written = kind == TextKind::kUuencoded ? UudecodeToFile(s->path, temp)
                                                          : Base64DecodeToFile(s->path, temp);
        return written ? TextDecode::kDecoded : TextDecode::kWriteFailed;
      }
    }
    const auto newline = text.find('\n', line_start);
    if (newline == std::string_view::npos) break;
    line_start = newline + 1;
  }
  return TextDecode::kNone;
}

void OpenMember(InputStream* s, std::uint32_t header_offset, TextScan scan) {
  ResetMember(s, header_offset);
  unsigned char header[kZipLocalHeaderSize];
  const std::size_t got = ReadAtMost(s->file, header_offset, header, sizeof header);
  if (got == sizeof header) {
    TakeHeaderFields(s, header);
  } else if (got >= 4 && Le32(header) != kZipLocalHeaderSignature) {
    s->signature = Le32(header);  // an end record may be shorter than a local header
  }
  if (s->signature == kZipLocalHeaderSignature) {
    OpenLocalHeader(s);
  } else if (header_offset != 0) {
    FailAsStored(s);  // the walk has run past the last local header
  } else if (const TextDecode decoded =
                 scan == TextScan::kAllowed ? DecodeEncodedText(s) : TextDecode::kNone;
             decoded != TextDecode::kNone) {
    OpenMember(s, 0, TextScan::kDone);
    // Decoded bytes that could not all be kept must not pass for the file.
    if (decoded == TextDecode::kWriteFailed) SetError(s);
  } else {
    ResetMember(s, 0);
    OpenAsPlainFile(s);
  }
}

// A member found through the central directory: the local header gives only
// where the data starts; method, flags, CRC and sizes are the directory's, so
// members whose sizes follow their data open too.
void OpenCentralMember(InputStream* s, const ZipCentralMember& member) {
  ResetMember(s, static_cast<std::uint32_t>(member.local_header_offset));
  unsigned char header[kZipLocalHeaderSize];
  if (!ReadExactly(s->file, member.local_header_offset, header, sizeof header) ||
      Le32(header) != kZipLocalHeaderSignature || Le16(header + 8) != member.method) {
    FailAsStored(s);
    return;
  }
  TakeHeaderFields(s, header);
  s->flags |= member.flags;
  s->crc = member.crc;
  s->compressed_size = static_cast<std::uint32_t>(member.compressed_size);
  s->size = static_cast<std::uint32_t>(member.size);
  OpenLocalHeader(s);
}

// "archive/member" names a member of a zip archive through its directory.
InputStream* OpenThroughArchive(std::unique_ptr<InputStream> stream, const char* path) {
  const std::optional<ArchiveMemberPath> split = SplitArchiveMemberPath(path);
  if (!split) return nullptr;
  stream->file = OpenRegularFile(split->archive);
  if (stream->file < 0) return nullptr;
  const ZipCentralDirectory directory = ReadZipCentralDirectory(stream->file);
  const ZipCentralMember* member = FindShownMember(directory, split->member);
  if (!member || !FitsInputStream(*member)) return nullptr;
  stream->path = path;
  OpenCentralMember(stream.get(), *member);
  return stream.release();
}

void EndMember(InputStream* s) {
  s->name.reset();
  if (s->inflater) {
    if (!FinishInflater(s->inflater.get())) s->error = 1;
    s->inflater.reset();
  }
  if (s->signature == kZipLocalHeaderSignature && s->consumed == s->compressed_size &&
      s->running_crc != ~s->crc) {
    s->error = 1;
  }
  ReleaseDecoded(s);
  s->cursor = nullptr;
  s->count = 0;
}
}  // namespace

InputStream::~InputStream() {
  ReleaseDecoded(this);
  if (file >= 0) close(file);
}

InputStream* stream_open(const char* path, const char* /*mode: always "rb"*/) {
  if (!path) return nullptr;
  std::unique_ptr<InputStream> stream(new (std::nothrow) InputStream);
  if (!stream) return nullptr;
  stream->file = OpenRegularFile(path);
  if (stream->file < 0) return OpenThroughArchive(std::move(stream), path);
  stream->path = path;
  OpenMember(stream.get(), 0, TextScan::kAllowed);
  return stream.release();
}

int stream_fill(InputStream* s) {
  if (s->error) return -1;
  SyncPosition(s);
  if (s->position >= s->size) return -1;
  const std::uint32_t base = s->position - s->position % kStreamPageSize;
  const std::uint32_t length = std::min<std::uint32_t>(s->size - base, kStreamPageSize);
  if (base != s->window_base) {
    s->window_base = kNoPage;
    if (!ReadAt(s, base, s->window.data(), length)) return -1;
    s->window_base = base;
  }
  const std::uint32_t within = s->position - base;
  s->count = static_cast<std::int32_t>(length - within - 1);
  s->cursor = s->window.data() + within + 1;
  return s->window[within];
}

std::size_t stream_read(void* buffer, std::size_t item_size, std::size_t item_count,
                        InputStream* s) {
  if (s->error) return 0;
  SyncPosition(s);
  if (item_size == 0) return 0;
  const std::size_t available = s->size - s->position;
  const std::size_t items = std::min(item_count, available / item_size);
  if (items == 0) return 0;
  const std::size_t length = items * item_size;
  if (!ReadAt(s, s->position, static_cast<unsigned char*>(buffer), length)) return 0;
  s->position += static_cast<std::uint32_t>(length);
  return items;
}

int stream_seek(InputStream* s, long offset, int whence) {
  if (s->error) return -1;
  SyncPosition(s);
  std::int64_t origin = 0;
  if (whence == 1) {
    origin = s->position;
  } else if (whence == 2) {
    origin = s->size;
  } else if (whence != 0) {
    return -1;
  }
  const std::int64_t target = origin + offset;
  if (target < 0 || target > static_cast<std::int64_t>(s->size)) return -1;
  s->position = static_cast<std::uint32_t>(target);
  return 0;
}

long stream_tell(InputStream* s) {
  if (s->error) return -1;
  SyncPosition(s);
  return static_cast<long>(s->position);
}

int stream_error(InputStream* s) {
  SyncPosition(s);
  return s->error ? -1 : 0;
}

int stream_member_info(InputStream* s, ZipMemberInfo* info) {
  if (s->signature != kZipLocalHeaderSignature) return -1;
  *info =
      ZipMemberInfo{s->signature,    s->version,    s->flags,           s->method, s->time,
                    s->date,         s->crc,        s->compressed_size, s->size,   s->name_length,
                    s->extra_length, s->name.get(), s->path.c_str()};
  return 0;
}

int stream_next_member(InputStream* s) {
  SyncPosition(s);
  if (s->signature != kZipLocalHeaderSignature) return -1;
  EndMember(s);
  const std::uint64_t next = std::uint64_t{s->data_offset} + s->compressed_size;
  if (next > 0xFFFFFFFF || next <= s->header_offset) {
    // A header whose sizes wrap around would lead the walk back on itself.
    ResetMember(s, s->header_offset);
    FailAsStored(s);
    return -1;
  }
  OpenMember(s, static_cast<std::uint32_t>(next), TextScan::kDone);
  return s->name ? 0 : -1;
}

int stream_close(InputStream* s) {
  if (!s) return 0;
  SyncPosition(s);
  EndMember(s);
  const int error = s->error;
  delete s;
  return error;
}
