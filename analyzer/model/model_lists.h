// Helpers over kvrbase lists held as plain handles: releasing one whose items its holder
// owns (a list frees only its item wrappers), and walking one with a cursor of its own.
#ifndef KVR_MODEL_MODEL_LISTS_H
#define KVR_MODEL_MODEL_LISTS_H

#include <cstdint>
#include <functional>

#include "base/contexts.h"
#include "base/text.h"

namespace kvr {

// Unlinks every item from the front, hands its data to freeItem (when not null) and frees
// the list header under tag. A null list is ignored.
void DrainList(void* iList, void (*freeItem)(void* data),
               const char* tag);

// Calls visit with the data of each item in order through a cursor of its own, so that
// searches of the list meanwhile do not disturb the walk; stops early when visit answers
// false. FALSE when no cursor could be made (a null list has no items: TRUE).
bool ForEachListItem(MemberContext& ctx, void* iList, const std::function<bool(void*)>& visit);

} // namespace kvr

#endif
