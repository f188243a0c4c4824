// Building the file list from a large photo folder, and stepping through it.
// The folder (100,000 empty files created in random name order) is made once
// in $TMPDIR and removed at exit.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "files/file_pkg.h"
#include "files/file_types.h"
#include "platform/random.h"

namespace {

constexpr int kFolderFiles = 100'000;

class GeneratedFolder {
 public:
  GeneratedFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/zentrope-bench-XXXXXX";
    if (!mkdtemp(pattern.data())) return;
    path_ = pattern;
    SeedRandom(2026);
    const char* extensions[] = {".jpg", ".JPG", ".gif", ".tif", ".png"};
    for (int i = 0; i < kFolderFiles; ++i) {
      char name[64];
      std::snprintf(name, sizeof name, "/IMG_%010u_%d%s", NextRandom(), i, extensions[i % 5]);
      const int fd = open((path_ + name).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
      if (fd >= 0) close(fd);
    }
  }
  ~GeneratedFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

const GeneratedFolder& Folder() {
  static const GeneratedFolder folder;
  return folder;
}

void BuildListFromFolder(benchmark::State& state) {
  const std::string spec = Folder().path() + "/*.*";
  for (auto _ : state) {
    TFilePkg list;
    list.AddSpec(spec, kAllFiles, false, false);
    benchmark::DoNotOptimize(list.Count());
  }
  state.counters["entries"] = kFolderFiles;
}
BENCHMARK(BuildListFromFolder)->Unit(benchmark::kMillisecond)->Iterations(3);

TFilePkg& BuiltList() {
  static TFilePkg list;
  if (list.Count() == 0) list.AddSpec(Folder().path(), kAllFiles, false, false);
  return list;
}

void StepNextAndPrevious(benchmark::State& state) {
  TFilePkg& list = BuiltList();
  const int order = static_cast<int>(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(list.Next(order).size());
    benchmark::DoNotOptimize(list.Previous(order).size());
    benchmark::DoNotOptimize(list.Next(order).size());
  }
}
BENCHMARK(StepNextAndPrevious)->Arg(kSortedOrder)->Arg(kRandomOrder);

// A bare name that only a prefix matches: both passes walk the whole list.
void GoToWorstCase(benchmark::State& state) {
  TFilePkg& list = BuiltList();
  for (auto _ : state) {
    list.GoTo("IMG_999999");
    benchmark::DoNotOptimize(list.Current().size());
  }
}
BENCHMARK(GoToWorstCase)->Unit(benchmark::kMillisecond);

}  // namespace
