// How the file list is cut into shards, one analyzer run each.
#pragma once

#include <cstddef>
#include <vector>

namespace kvrscan {

// Lines [first, end) of the file list.
struct LineRange {
    std::size_t first;
    std::size_t end;
    bool operator==(const LineRange&) const = default;
};

// Contiguous shards of nearly equal size: line k (from 0) of M goes to shard k*N/M, so the
// shards joined in order give back the file list. N is cut down to M, so that no shard is
// empty; an empty list still makes one (empty) shard, so that kvr4000 runs and writes its
// import file and log as usual.
std::vector<LineRange> split_into_shards(std::size_t lines, std::size_t shards);

} // namespace kvrscan
