#include "archive/stream_inflater.h"

#include <zlib.h>

#include <memory>
#include <new>

namespace {
// Raw deflate: negative window bits mean no zlib or gzip wrapper.
constexpr int kRawDeflateWindowBits = -15;
constexpr std::size_t kInflateOutputSize = 32768;
}  // namespace

struct StreamInflater {
  z_stream zs{};
  bool initialised = false;
  bool failed = false;
  bool reached_end = false;
  bool input_left = false;
  InflateSink sink = nullptr;
  void* context = nullptr;
  unsigned char output[kInflateOutputSize];
};

void StreamInflaterDeleter::operator()(StreamInflater* inflater) const {
  if (!inflater) return;
  if (inflater->initialised) inflateEnd(&inflater->zs);
  delete inflater;
}

StreamInflater* CreateStreamInflater(InflateSink sink, void* context) {
  std::unique_ptr<StreamInflater> inflater(new (std::nothrow) StreamInflater);
  if (!inflater) return nullptr;
  if (inflateInit2(&inflater->zs, kRawDeflateWindowBits) != Z_OK) return nullptr;
  inflater->initialised = true;
  inflater->sink = sink;
  inflater->context = context;
  return inflater.release();
}

bool PushToInflater(StreamInflater* inflater, const unsigned char* data, std::size_t length) {
  if (inflater->failed) return false;
  if (inflater->reached_end) {
    // Compressed bytes after the final block are not part of the member.
    if (length > 0) inflater->input_left = true;
    return true;
  }
  z_stream& zs = inflater->zs;
  zs.next_in = const_cast<Bytef*>(data);
  zs.avail_in = static_cast<uInt>(length);
  for (;;) {
    zs.next_out = inflater->output;
    zs.avail_out = static_cast<uInt>(kInflateOutputSize);
    const int result = inflate(&zs, Z_NO_FLUSH);
    const std::size_t produced = kInflateOutputSize - zs.avail_out;
    if (produced > 0 && !inflater->sink(inflater->context, inflater->output, produced)) {
      inflater->failed = true;
      return false;
    }
    if (result == Z_STREAM_END) {
      inflater->reached_end = true;
      if (zs.avail_in > 0) inflater->input_left = true;
      return true;
    }
    if (result == Z_BUF_ERROR) return true;  // all input taken, no more output for now
    if (result != Z_OK) {
      inflater->failed = true;
      return false;
    }
    if (zs.avail_in == 0 && zs.avail_out != 0) return true;
  }
}

bool InflaterReachedEnd(const StreamInflater* inflater) {
  return inflater->reached_end;
}

bool FinishInflater(StreamInflater* inflater) {
  return !inflater->failed && !inflater->input_left && inflater->reached_end;
}
