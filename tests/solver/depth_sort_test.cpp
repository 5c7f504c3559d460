#include "solver/depth_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "base/random.h"
#include "solver/thread_pool.h"

TEST(DepthSort, KeysOrderLikeTheDepths) {
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<double> depths = {-inf,  -1e300,   -2.5,   -1.0, -1e-300,         -4.9e-324,
                                  0.0,   4.9e-324, 1e-300, 1.0,  1.0 + 1e-16 * 3, 2.5,
                                  1e300, inf};
    for (size_t i = 0; i + 1 < depths.size(); ++i)
        EXPECT_LT(depthKey(depths[i]), depthKey(depths[i + 1])) << depths[i];
    EXPECT_EQ(depthKey(-0.0), depthKey(0.0));
}

TEST(DepthSort, SortsByKeyAndKeepsTheOrderOfEqualKeys) {
    // Few distinct depths among many entries, so that most keys tie.
    Random random;
    std::vector<DepthEntry> entries;
    for (int i = 0; i < 5000; ++i)
        entries.push_back({depthKey((random.next() % 40 - 20) * 0.125), i});
    std::vector<DepthEntry> expected = entries;
    std::stable_sort(expected.begin(), expected.end(),
                     [](const DepthEntry& a, const DepthEntry& b) { return a.key < b.key; });
    std::vector<DepthEntry> scratch;
    sortByDepth(entries, scratch);
    ASSERT_EQ(entries.size(), expected.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].key, expected[i].key);
        EXPECT_EQ(entries[i].index, expected[i].index);
    }
    // Enough entries for the threads to share, each digit of the keys in use.
    std::vector<DepthEntry> many;
    for (int i = 0; i < 200000; ++i) {
        uint64_t key = (uint64_t{static_cast<uint32_t>(random.next())} << 49) ^
                       (uint64_t{static_cast<uint32_t>(random.next())} << 20) ^
                       static_cast<uint64_t>(random.next() % 8);
        many.push_back({key, i});
    }
    expected = many;
    std::stable_sort(expected.begin(), expected.end(),
                     [](const DepthEntry& a, const DepthEntry& b) { return a.key < b.key; });
    for (int threads : {1, 2, 3}) {
        std::vector<DepthEntry> sorted = many;
        ThreadPool pool(threads);
        sortByDepth(sorted, scratch, pool);
        for (size_t i = 0; i < sorted.size(); ++i)
            ASSERT_TRUE(sorted[i].key == expected[i].key && sorted[i].index == expected[i].index)
                << threads << " threads, entry " << i;
    }
}

TEST(DepthSort, EmptyAndSingleLists) {
    std::vector<DepthEntry> entries, scratch;
    sortByDepth(entries, scratch);
    EXPECT_TRUE(entries.empty());
    entries.push_back({depthKey(3.0), 7});
    sortByDepth(entries, scratch);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].index, 7);
}
