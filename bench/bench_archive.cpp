// Extraction, inflation through stream_getc and uudecoding, each measured
// beside the Info-ZIP or sharutils tool doing the same work in the same run.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "archive/decode.h"
#include "archive/encode.h"
#include "archive/input_stream.h"
#include "archive/zip_commands.h"

namespace {

constexpr std::size_t kMegabyte = 1 << 20;

int Run(const std::string& command) {
  return std::system(command.c_str());
}

void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
  if (FILE* file = std::fopen(path.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
}

// Text-like bytes that deflate to about a third, or noise that does not deflate.
std::vector<unsigned char> MakeBytes(std::size_t size, bool noise, unsigned seed) {
  std::vector<unsigned char> bytes(size);
  std::mt19937 random(seed);
  static const char kWords[][8] = {"pixel ",  "palette", "zip ", "row\n",
                                   "colour ", "the ",    "and ", "2001 "};
  std::size_t at = 0;
  while (at < size) {
    if (noise) {
      bytes[at++] = static_cast<unsigned char>(random());
      continue;
    }
    const char* word = kWords[random() % 8];
    for (; *word && at < size; ++word) bytes[at++] = static_cast<unsigned char>(*word);
    if (random() % 4 == 0 && at < size)
      bytes[at++] = static_cast<unsigned char>('a' + random() % 26);
  }
  return bytes;
}

struct Fixture {
  std::string folder;
  std::string mixed_zip;   // 200 MB of members, half stored, half deflated
  std::string single_zip;  // one 50 MB deflated member
  std::string uu_set;      // 20 MB encoded in sections, first section
  std::string uu_joined;   // the same as one file for sharutils
  Fixture() {
    char pattern[] = "/tmp/zentrope-bench-XXXXXX";
    folder = mkdtemp(pattern);
    Run("mkdir -p " + folder + "/mixed " + folder + "/ours " + folder + "/theirs");
    for (unsigned i = 0; i < 8; ++i) {
      const bool noise = i % 2 == 1;
      WriteFile(folder + "/mixed/member" + std::to_string(i) + (noise ? ".bin" : ".txt"),
                MakeBytes(25 * kMegabyte, noise, i));
    }
    mixed_zip = folder + "/mixed.zip";
    Run("cd " + folder + "/mixed && zip -q -X -n .bin " + mixed_zip + " *");
    WriteFile(folder + "/single.txt", MakeBytes(50 * kMegabyte, false, 99));
    single_zip = folder + "/single.zip";
    Run("cd " + folder + " && zip -q -X " + single_zip + " single.txt");
    Run("mkdir -p " + folder + "/uu");
    WriteFile(folder + "/uu/data.bin", MakeBytes(20 * kMegabyte, true, 7));
    Run("uuencode " + folder + "/uu/data.bin ours.bin > " + folder + "/uu/joined.uue");
    uu_joined = folder + "/uu/joined.uue";
    uu_set = uu_joined;
  }
  ~Fixture() { Run("rm -rf " + folder); }
};

Fixture& Data() {
  static Fixture fixture;
  return fixture;
}

std::optional<std::string> Answer(const std::string& folder) {
  return folder;
}

void BM_ExtractMixedZip(benchmark::State& state) {
  Fixture& data = Data();
  for (auto _ : state) ExtractZipArchive(data.mixed_zip, Answer(data.folder + "/ours"));
  state.SetBytesProcessed(state.iterations() * 200 * kMegabyte);
}

void BM_InfoZipUnzipMixedZip(benchmark::State& state) {
  Fixture& data = Data();
  for (auto _ : state) Run("unzip -o -q " + data.mixed_zip + " -d " + data.folder + "/theirs");
  state.SetBytesProcessed(state.iterations() * 200 * kMegabyte);
}

void BM_GetcThroughDeflatedMember(benchmark::State& state) {
  Fixture& data = Data();
  for (auto _ : state) {
    InputStream* stream = stream_open(data.single_zip.c_str(), "rb");
    unsigned sum = 0;
    for (int c = stream_getc(stream); c >= 0; c = stream_getc(stream))
      sum += static_cast<unsigned>(c);
    benchmark::DoNotOptimize(sum);
    stream_close(stream);
  }
  state.SetBytesProcessed(state.iterations() * 50 * kMegabyte);
}

void BM_InfoZipUnzipToNull(benchmark::State& state) {
  Fixture& data = Data();
  for (auto _ : state) Run("unzip -p " + data.single_zip + " > /dev/null");
  state.SetBytesProcessed(state.iterations() * 50 * kMegabyte);
}

void BM_DecodeUuencoded(benchmark::State& state) {
  Fixture& data = Data();
  for (auto _ : state) {
    TDecode decode;
    decode.Decode(data.uu_set);
  }
  state.SetBytesProcessed(state.iterations() * 20 * kMegabyte);
}

void BM_SharutilsUudecode(benchmark::State& state) {
  Fixture& data = Data();
  for (auto _ : state) Run("uudecode -o " + data.folder + "/uu/theirs.bin " + data.uu_joined);
  state.SetBytesProcessed(state.iterations() * 20 * kMegabyte);
}

}  // namespace

BENCHMARK(BM_ExtractMixedZip)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_InfoZipUnzipMixedZip)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GetcThroughDeflatedMember)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_InfoZipUnzipToNull)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DecodeUuencoded)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SharutilsUudecode)->Unit(benchmark::kMillisecond)->UseRealTime();
