// Helpers shared by the job-model sources: releasing a kvrbase list whose items the model
// owns, and the release of a list of OUTPUT statements. Lists free only their item
// wrappers, so each owner drains its list and frees the items itself.
#ifndef KVR_MODEL_MODEL_LISTS_H
#define KVR_MODEL_MODEL_LISTS_H

#include <cstdint>

namespace kvr {

// Unlinks every item from the front, hands its data to freeItem (when not null) and frees
// the list header under tag. A null list is ignored.
void DrainList(void* iList, void (*freeItem)(void* data, int32_t debug), const char* tag,
               int32_t debug);

// Frees every RD_OutputSpecification of the list, then the list.
void FreeOutputSpecificationList(void* iList, int32_t debug);

// The text itself, or the empty text for null: absent values are stored as empty strings.
inline const char* TextOrEmpty(const char* text) {
    return text != nullptr ? text : "";
}

} // namespace kvr

#endif
