#include "files/entry_positions.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/random.h"

// Random inserts and erases, checked against a vector after every step.
TEST(EntryPositions, TracksPlacesThroughInsertsAndErases) {
  std::vector<std::unique_ptr<FileEntry>> owned;
  std::vector<FileEntry*> expected;
  EntryPositions positions;
  SeedRandom(7);
  for (int step = 0; step < 3000; ++step) {
    const bool erase = !expected.empty() && NextRandom() % 3 == 0;
    if (erase) {
      const std::size_t at = NextRandom() % expected.size();
      positions.Erase(expected[at]);
      expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(at));
    } else {
      owned.push_back(std::make_unique<FileEntry>());
      const std::size_t at = NextRandom() % (expected.size() + 1);
      positions.InsertAt(static_cast<std::int64_t>(at), owned.back().get());
      expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(at), owned.back().get());
    }
    ASSERT_EQ(positions.Size(), static_cast<std::int64_t>(expected.size()));
    const std::size_t probe = expected.empty() ? 0 : NextRandom() % expected.size();
    if (!expected.empty()) {
      ASSERT_EQ(positions.At(static_cast<std::int64_t>(probe)), expected[probe]) << step;
      ASSERT_EQ(positions.PositionOf(expected[probe]), static_cast<std::int64_t>(probe)) << step;
    }
  }
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(positions.PositionOf(expected[i]), static_cast<std::int64_t>(i));
  }
  EXPECT_EQ(positions.At(-1), nullptr);
  EXPECT_EQ(positions.At(positions.Size()), nullptr);
}
