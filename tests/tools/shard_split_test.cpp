// Cutting the file list into shards: line k of M goes to shard k*N/M (from 0).
#include "shard_split.h"

#include <gtest/gtest.h>

using kvrscan::LineRange;
using kvrscan::split_into_shards;
using Ranges = std::vector<LineRange>;

TEST(ScanShardSplit, WorkedCases) {
    // 7 lines, 3 shards: k*3/7 for k = 0..6 is 0 0 0 1 1 2 2.
    EXPECT_EQ(split_into_shards(7, 3), (Ranges{{0, 3}, {3, 5}, {5, 7}}));
    // 5 lines, 4 shards: k*4/5 is 0 0 1 2 3.
    EXPECT_EQ(split_into_shards(5, 4), (Ranges{{0, 2}, {2, 3}, {3, 4}, {4, 5}}));
    EXPECT_EQ(split_into_shards(3, 2), (Ranges{{0, 2}, {2, 3}}));
    EXPECT_EQ(split_into_shards(10, 1), (Ranges{{0, 10}}));
    // More shards than lines: one line each; no lines: one empty shard.
    EXPECT_EQ(split_into_shards(2, 5), (Ranges{{0, 1}, {1, 2}}));
    EXPECT_EQ(split_into_shards(0, 4), (Ranges{{0, 0}}));
    EXPECT_EQ(split_into_shards(3, std::size_t(-1)), (Ranges{{0, 1}, {1, 2}, {2, 3}}));
}

TEST(ScanShardSplit, EveryLineInTheShardItsNumberGives) {
    for (std::size_t lines = 1; lines <= 40; ++lines) {
        for (std::size_t shards = 1; shards <= lines; ++shards) {
            Ranges ranges = split_into_shards(lines, shards);
            ASSERT_EQ(ranges.size(), shards);
            for (std::size_t k = 0; k < lines; ++k) {
                const LineRange& range = ranges[k * shards / lines];
                EXPECT_TRUE(range.first <= k && k < range.end)
                    << lines << " lines, " << shards << " shards, line " << k;
            }
            EXPECT_EQ(ranges.front().first, 0u);
            EXPECT_EQ(ranges.back().end, lines);
            for (std::size_t i = 0; i + 1 < shards; ++i)
                EXPECT_EQ(ranges[i].end, ranges[i + 1].first);
        }
    }
}
