#include "shard_split.h"

#include <algorithm>

namespace kvrscan {

std::vector<LineRange> split_into_shards(std::size_t lines, std::size_t shards) {
    shards = std::clamp<std::size_t>(shards, 1, std::max<std::size_t>(lines, 1));
    std::vector<LineRange> ranges;
    ranges.reserve(shards);
    // Shard s starts at the first line k with k*N/M >= s, that is k = ceil(s*M/N), worked
    // out from M = qN + r so that nothing larger than N*N is formed.
    std::size_t quotient = lines / shards;
    std::size_t remainder = lines % shards;
    auto first_line = [&](std::size_t shard) {
        return shard * quotient + (shard * remainder + shards - 1) / shards;
    };
    for (std::size_t shard = 0; shard < shards; ++shard)
        ranges.push_back({first_line(shard), first_line(shard + 1)});
    return ranges;
}

} // namespace kvrscan
