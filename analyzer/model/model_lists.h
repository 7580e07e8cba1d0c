// Helpers shared by the job-model sources: releasing a kvrbase list whose items the model
// owns, and the release of a list of OUTPUT statements. Lists free only their item
// wrappers, so each owner drains its list and frees the items itself.
#ifndef KVR_MODEL_MODEL_LISTS_H
#define KVR_MODEL_MODEL_LISTS_H

#include <cstdint>
#include <functional>

namespace kvr {

// Unlinks every item from the front, hands its data to freeItem (when not null) and frees
// the list header under tag. A null list is ignored.
void DrainList(void* iList, void (*freeItem)(void* data, int32_t debug), const char* tag,
               int32_t debug);

// Calls visit with the data of each item in order through a cursor of its own, so that
// searches of the list meanwhile do not disturb the walk; stops early when visit answers
// false. FALSE when no cursor could be made (a null list has no items: TRUE).
bool ForEachListItem(void* iList, int32_t debug, const std::function<bool(void*)>& visit);

// Frees every RD_OutputSpecification of the list, then the list.
void FreeOutputSpecificationList(void* iList, int32_t debug);

// The text itself, or the empty text for null: absent values are stored as empty strings.
inline const char* TextOrEmpty(const char* text) {
    return text != nullptr ? text : "";
}

} // namespace kvr

#endif
