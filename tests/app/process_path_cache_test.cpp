// The paths qatask.dll keeps from one process listing to the next.
#include "platform/qatask/process_path_cache.h"

#include <gtest/gtest.h>

namespace {

// One listing: every (number, creation time) in order; a kept path is taken, a missing one
// is "looked up" as `fresh` and kept. Answers the paths reported, in order.
std::vector<std::string> Listing(ProcessPathCache& cache, const std::vector<std::pair<uint32_t, int64_t>>& processes,
                                 const std::string& fresh, int* lookups) {
  std::vector<std::string> reported;
  for (const auto& [id, created] : processes) {
    if (const std::string* kept = cache.Take(id, created)) {
      reported.push_back(*kept);
    } else {
      ++*lookups;
      const std::string path = fresh + std::to_string(id);
      cache.Keep(id, created, path);
      reported.push_back(path);
    }
  }
  cache.EndListing();
  return reported;
}

TEST(ProcessPathCache, APathIsLookedUpOncePerProcessAndNeverPassesToALaterOneWithItsNumber) {
  ProcessPathCache cache;
  int lookups = 0;
  EXPECT_EQ((std::vector<std::string>{"C:\\a\\old8", "C:\\a\\old12"}),
            Listing(cache, {{8, 100}, {12, 200}}, "C:\\a\\old", &lookups));
  EXPECT_EQ(2, lookups);
  // The same processes again: nothing looked up, the same paths.
  EXPECT_EQ((std::vector<std::string>{"C:\\a\\old8", "C:\\a\\old12"}),
            Listing(cache, {{8, 100}, {12, 200}}, "C:\\b\\new", &lookups));
  EXPECT_EQ(2, lookups);

  // Process 8 ended and its number went to a program started later: that program's own path.
  EXPECT_EQ((std::vector<std::string>{"C:\\b\\new8", "C:\\a\\old12"}),
            Listing(cache, {{8, 300}, {12, 200}}, "C:\\b\\new", &lookups));
  EXPECT_EQ(3, lookups);
  EXPECT_EQ((std::vector<std::string>{"C:\\b\\new8"}), Listing(cache, {{8, 300}}, "C:\\c\\", &lookups));
  EXPECT_EQ(3, lookups);

  // A number missing from one listing is forgotten: when it comes back, even with the old
  // creation time, its path is looked up again.
  EXPECT_EQ((std::vector<std::string>{"C:\\d\\12", "C:\\b\\new8"}),
            Listing(cache, {{12, 200}, {8, 300}}, "C:\\d\\", &lookups));
  EXPECT_EQ(4, lookups);
}

TEST(ProcessPathCache, AProcessWithoutAPathIsAskedForAgainAtEachListing) {
  ProcessPathCache cache;
  // The lookup failed: nothing kept, so the next listing has nothing to take.
  EXPECT_EQ(nullptr, cache.Take(4, 10));
  cache.EndListing();
  EXPECT_EQ(nullptr, cache.Take(4, 10));
  cache.Keep(4, 10, "C:\\found.exe");
  cache.EndListing();
  ASSERT_NE(nullptr, cache.Take(4, 10));
  EXPECT_EQ("C:\\found.exe", *cache.Take(4, 10));
}

}  // namespace
