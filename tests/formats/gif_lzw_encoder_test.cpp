#include "formats/gif_lzw_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace {

// The coder's rules with a plain map for the string table: what the fast
// coder must produce byte for byte, packets included.
std::vector<std::uint8_t> ModelPackets(const std::vector<std::uint8_t>& pixels, int initial_width,
                                       bool compress) {
  const int clear_code = 1 << (initial_width - 1);
  int width = initial_width;
  int max_code = (1 << width) - 1;
  int next_free = clear_code + 2;
  std::map<std::pair<int, int>, int> strings;
  std::vector<std::uint8_t> bytes;
  std::uint32_t bits = 0;
  int bit_count = 0;
  auto output = [&](int code) {
    bits |= static_cast<std::uint32_t>(code) << bit_count;
    for (bit_count += width; bit_count >= 8; bit_count -= 8, bits >>= 8) {
      bytes.push_back(static_cast<std::uint8_t>(bits));
    }
    if (next_free > max_code) {
      ++width;
      max_code = width == 12 ? 4096 : (1 << width) - 1;
    }
  };
  auto clear = [&] {
    strings.clear();
    next_free = clear_code + 2;
    output(clear_code);
    width = initial_width;
    max_code = (1 << width) - 1;
  };
  output(clear_code);
  if (!pixels.empty()) {
    int waiting = pixels[0];
    for (std::size_t k = 1; k < pixels.size(); ++k) {
      const int pixel = pixels[k];
      if (compress) {
        const auto found = strings.find({waiting, pixel});
        if (found != strings.end()) {
          waiting = found->second;
          continue;
        }
        output(waiting);
        if (next_free >= 4096) {
          clear();
        } else {
          strings[{waiting, pixel}] = next_free++;
        }
      } else {
        output(waiting);
        if (next_free < max_code) {
          ++next_free;
        } else {
          clear();
        }
      }
      waiting = pixel;
    }
    output(waiting);
  }
  output(clear_code + 1);
  if (bit_count > 0) bytes.push_back(static_cast<std::uint8_t>(bits));
  std::vector<std::uint8_t> packets;
  for (std::size_t at = 0; at < bytes.size(); at += 255) {
    const std::size_t length = std::min<std::size_t>(255, bytes.size() - at);
    packets.push_back(static_cast<std::uint8_t>(length));
    packets.insert(packets.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                   bytes.begin() + static_cast<std::ptrdiff_t>(at + length));
  }
  return packets;
}

class RecordingSink final : public GifPacketSink {
 public:
  bool WritePacket(const std::uint8_t* bytes, int count) override {
    ++calls;
    if (calls == fail_at) return false;
    packets.push_back(static_cast<std::uint8_t>(count));
    packets.insert(packets.end(), bytes, bytes + count);
    return true;
  }
  std::vector<std::uint8_t> packets;
  int calls = 0;
  int fail_at = -1;
};

// Feeds the pixels in pieces of uneven length, empty ones included.
std::vector<std::uint8_t> Encode(const std::vector<std::uint8_t>& pixels, int initial_width,
                                 bool compress, RecordingSink& sink) {
  TGifLzwEncoder encoder;
  encoder.Start(initial_width, compress, sink);
  const int pieces[] = {1, 0, 7, 640, 3, 255, 1000};
  std::size_t at = 0;
  for (int k = 0; at < pixels.size(); ++k) {
    const std::size_t length = std::min<std::size_t>(pieces[k % 7], pixels.size() - at);
    encoder.Put(pixels.data() + at, static_cast<int>(length));
    at += length;
  }
  encoder.Finish();
  EXPECT_EQ(encoder.Failed(), sink.fail_at > 0 && sink.calls >= sink.fail_at);
  return sink.packets;
}

std::vector<std::uint8_t> Pixels(std::size_t count, int colours, int run) {
  std::vector<std::uint8_t> pixels(count);
  std::uint32_t state = 99;
  for (std::size_t i = 0; i < count; ++i) {
    if (i % run == 0) state = state * 1664525u + 1013904223u;
    pixels[i] = static_cast<std::uint8_t>((state >> 16) % colours);
  }
  return pixels;
}

TEST(GifLzwEncoder, MatchesTheStringTableRulesByteForByte) {
  struct Case {
    std::vector<std::uint8_t> pixels;
    int initial_width;
    bool compress;
  };
  const Case cases[] = {
      {Pixels(200000, 256, 1), 9, true},  // noise: the table fills and clears again and again
      {Pixels(200000, 256, 5), 9, true},  // runs: long strings
      {Pixels(50000, 2, 3), 3, true},     // two colours, the smallest code
      {Pixels(5000, 16, 2), 8, false},    // literals with a clear every 126 codes
      {Pixels(5000, 4, 1), 3, false},    {Pixels(1, 256, 1), 9, true}, {{}, 9, true},
  };
  for (const Case& c : cases) {
    RecordingSink sink;
    EXPECT_EQ(Encode(c.pixels, c.initial_width, c.compress, sink),
              ModelPackets(c.pixels, c.initial_width, c.compress))
        << c.pixels.size() << " pixels, width " << c.initial_width;
  }
}

TEST(GifLzwEncoder, AFailedPacketEndsTheWritingAndIsReported) {
  const std::vector<std::uint8_t> pixels = Pixels(100000, 256, 1);
  RecordingSink sink;
  sink.fail_at = 3;
  const std::vector<std::uint8_t> written = Encode(pixels, 9, true, sink);
  EXPECT_EQ(sink.calls, 3);
  const std::vector<std::uint8_t> expected = ModelPackets(pixels, 9, true);
  ASSERT_EQ(written.size(), 2u * 256);
  EXPECT_TRUE(std::equal(written.begin(), written.end(), expected.begin()));
}

}  // namespace
