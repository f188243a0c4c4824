// Large scans checked against a plain model of the list: vectors walked step
// by step, as the orders are defined, instead of the position index.
#include <dirent.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "file_list_fixture.h"
#include "files/file_pkg.h"
#include "files/file_types.h"
#include "platform/path.h"
#include "platform/random.h"

namespace {

struct ModelList {
  std::vector<std::string> names;  // by entry id
  std::vector<int> sorted;         // ids, head first
  std::vector<int> random;         // ids, head first
  int current = -1;

  static std::size_t IndexOf(const std::vector<int>& ring, int id) {
    return static_cast<std::size_t>(std::find(ring.begin(), ring.end(), id) - ring.begin());
  }

  void Add(const std::string& name, int anchor) {
    const int id = static_cast<int>(names.size());
    if (sorted.empty()) {
      names.push_back(name);
      sorted = random = {id};
      current = id;
      return;
    }
    std::size_t stop = sorted.size() - 1;
    while (anchor >= 0 && sorted[stop] != anchor && CompareNoCase(name, names[sorted[stop]]) < 0) {
      --stop;
    }
    if (EqualsNoCase(names[sorted[stop]], name)) return;
    const std::uint32_t steps = NextRandom() % static_cast<std::uint32_t>(sorted.size());
    const int place = sorted[(IndexOf(sorted, current) + steps) % sorted.size()];
    names.push_back(name);
    if (anchor >= 0 && CompareNoCase(name, names[sorted[stop]]) < 0) {
      std::swap(names[id], names[sorted[stop]]);
    }
    sorted.insert(sorted.begin() + static_cast<std::ptrdiff_t>(stop) + 1, id);
    random.insert(random.begin() + static_cast<std::ptrdiff_t>(IndexOf(random, place)) + 1, id);
  }

  void Remove(const std::string& name) {
    for (std::size_t i = sorted.size(); i-- > 0;) {
      const int id = sorted[i];
      if (!EqualsNoCase(names[id], name)) continue;
      if (id == current) current = sorted[(i + 1) % sorted.size()];
      sorted.erase(sorted.begin() + static_cast<std::ptrdiff_t>(i));
      random.erase(random.begin() + static_cast<std::ptrdiff_t>(IndexOf(random, id)));
    }
  }

  // One scan group: the first name is appended, then the last entry anchors.
  void Scan(const std::vector<std::string>& in_folder_order) {
    int anchor = -1;
    for (const std::string& name : in_folder_order) {
      Add(name, anchor);
      if (anchor < 0) anchor = sorted.back();
    }
  }

  std::vector<std::string> Names(const std::vector<int>& ring) const {
    std::vector<std::string> result;
    const std::size_t start = IndexOf(ring, sorted.front());
    for (std::size_t i = 0; i < ring.size(); ++i) {
      result.push_back(names[ring[(start + i) % ring.size()]]);
    }
    return result;
  }
};

std::vector<std::string> InFolderOrder(const std::string& folder) {
  std::vector<std::string> paths;
  DIR* dir = opendir(folder.c_str());
  while (const dirent* entry = dir ? readdir(dir) : nullptr) {
    if (entry->d_name[0] != '.') paths.push_back(folder + "/" + entry->d_name);
  }
  if (dir) closedir(dir);
  return paths;
}

}  // namespace

TEST_F(FileListTest, LargeScansKeepBothOrdersOfTheStepByStepDefinition) {
  std::vector<std::string> names;
  SeedRandom(99);
  for (int i = 0; i < 1500; ++i) {
    const std::uint32_t n = NextRandom();
    names.push_back((i % 2 ? "one/" : "two/") + std::to_string(n % 100000) +
                    (n % 3 ? ".gif" : ".GIF"));
  }
  Make(names);

  SeedRandom(4242);
  TFilePkg list;
  list.AddFile("/first/m.gif");
  list.AddSpec(Path("two"), kGifFiles, false, false);
  list.AddSpec(Path("one"), kGifFiles, false, false);

  SeedRandom(4242);
  ModelList model;
  model.Add("/first/m.gif", -1);
  model.Scan(InFolderOrder(Path("two")));
  model.Scan(InFolderOrder(Path("one")));

  ASSERT_EQ(list.Count(), static_cast<std::int32_t>(model.sorted.size()));
  EXPECT_EQ(list.Names(kSortedOrder), model.Names(model.sorted));
  EXPECT_EQ(list.Names(kRandomOrder), model.Names(model.random));

  // Removals (current among them) keep the position index in step with the rings.
  const std::vector<std::string> before = list.Names(kSortedOrder);
  for (std::size_t i = 0; i < before.size(); i += 3) {
    list.RemoveName(before[i]);
    model.Remove(before[i]);
  }
  EXPECT_EQ(list.Names(kSortedOrder), model.Names(model.sorted));
  EXPECT_EQ(list.Current(), model.names[static_cast<std::size_t>(model.current)]);
  SeedRandom(77);
  list.AddSpec(Path("two"), kGifFiles, false, false);
  SeedRandom(77);
  model.Scan(InFolderOrder(Path("two")));
  EXPECT_EQ(list.Names(kSortedOrder), model.Names(model.sorted));
  EXPECT_EQ(list.Names(kRandomOrder), model.Names(model.random));
}
