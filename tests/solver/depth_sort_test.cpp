#include "solver/depth_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "base/random.h"
#include "solver/thread_pool.h"

TEST(DepthSort, KeysOrderLikeTheDepths) {
    // Within a reach of 4, a step is 4 / 2^31: 1.9e-9.
    const double reach = 4.0;
    std::vector<double> depths = {-4.0, -2.5, -1.0, -1e-8, 0.0, 2e-9, 1.0, 1.0 + 4e-9, 2.5, 3.9999};
    for (size_t i = 0; i + 1 < depths.size(); ++i)
        EXPECT_LT(depthKey(depths[i], reach), depthKey(depths[i + 1], reach)) << depths[i];
    EXPECT_EQ(depthKey(-0.0, reach), depthKey(0.0, reach));
    EXPECT_EQ(depthKey(0.0, reach), 1u << 31);
    EXPECT_EQ(depthKey(1.0, reach), depthKey(1.0 + 1e-9, reach));  // closer than a step
    // Beyond the reach, and NaN, at the ends.
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(depthKey(-4.0, reach), 0u);
    EXPECT_EQ(depthKey(-inf, reach), 0u);
    EXPECT_EQ(depthKey(4.0, reach), UINT32_MAX);
    EXPECT_EQ(depthKey(1e300, reach), UINT32_MAX);
    EXPECT_EQ(depthKey(std::nan(""), reach), UINT32_MAX);
}

TEST(DepthSort, SortsByKeyAndKeepsTheOrderOfEqualKeys) {
    // Few distinct depths among many entries, so that most keys tie.
    Random random;
    std::vector<DepthEntry> entries;
    for (int i = 0; i < 5000; ++i)
        entries.push_back({depthKey((random.next() % 40 - 20) * 0.125, 4.0), i});
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
        uint32_t key = (static_cast<uint32_t>(random.next()) << 17) ^
                       (static_cast<uint32_t>(random.next()) << 6) ^
                       static_cast<uint32_t>(random.next() % 8);
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
    entries.push_back({depthKey(3.0, 4.0), 7});
    sortByDepth(entries, scratch);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].index, 7);
}
