// Helpers shared by the collection tests: an owning wrapper for handles and a view of the
// handle record, so tests can check table sizes and ring links directly.
#ifndef KVR_TESTS_COLLECTION_TEST_SUPPORT_H
#define KVR_TESTS_COLLECTION_TEST_SUPPORT_H

#include "extras/collections.h"
#include "kvrbase.h"

#include <memory>
#include <type_traits>

namespace kvr::testing {

struct HandleCloser {
    void operator()(void* handle) const { TerminateCollection(handle); }
};
using Collection = std::unique_ptr<void, HandleCloser>;

inline Collection Make(CDM_TYPE type, uint32_t size) {
    return Collection(InitiateCollection(type, size));
}

inline cdm_handle* Record(const Collection& c) {
    return static_cast<cdm_handle*>(c.get());
}

inline uint32_t SizeOf(const Collection& c) {
    uint32_t size = 0xDEADu;
    GetCollectionSize(c.get(), &size);
    return size;
}

// Distinct element addresses for the tests to store.
template <typename T> void* Element(T& value) {
    return static_cast<void*>(&value);
}

} // namespace kvr::testing

#endif
