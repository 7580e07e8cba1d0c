// Fixed-table string hashing shared by the exported hash functions and the keyed maps of
// the collection services. One constant table makes every hash stable across runs and
// across the analyzers that load the library.
#ifndef KVR_EXTRAS_HASH_H
#define KVR_EXTRAS_HASH_H

#include <cstdint>

namespace kvr {

// The hash of `length` bytes at `key`, zero bytes included, started from `start`: the
// running value of the exported hashes before their final shift. Null with length 0 is
// the empty key.
uint32_t HashBytes(uint32_t start, const unsigned char* key, uint32_t length);

// The keyed-map hash: KVRHASHF over exactly `length` bytes instead of up to a terminator.
uint32_t MapHash(const unsigned char* key, uint32_t length);

} // namespace kvr

#endif
