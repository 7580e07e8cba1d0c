// Release of the kvrbase lists whose items the job model owns: the list frees only its item
// wrappers, so the items are handed to their own release one by one.
#include "model/model_lists.h"
#include "base/contexts.h"

#include "kvrbase.h"

namespace kvr {

void DrainList(void* iList, void (*freeItem)(void* data),
               const char* tag) {
    if (iList == nullptr) return;
    void* data = nullptr;
    // Unlinking the head leaves no current item, so every round starts at the head again.
    while (FindFirstItem(iList, &data)) {
        UnlinkCurrentItem(iList, &data, BlockTraceLevel());
        if (data != nullptr && freeItem != nullptr) freeItem(data);
    }
    FreeBlockWithDebug(iList, tag, BlockTraceLevel());
}

bool ForEachListItem(MemberContext& ctx, void* iList, const std::function<bool(void*)>& visit) {
    if (iList == nullptr) return true;
    void* cursor = nullptr;
    if (KVR_CreateCursor(iList, &cursor, ctx.run.debug) == 0 || cursor == nullptr) return false;
    void* data = nullptr;
    for (int32_t found = GetDataAtCursor(cursor, &data); found;
         found = AdvanceCursor(cursor) && GetDataAtCursor(cursor, &data))
        if (data != nullptr && !visit(data)) break;
    DeleteCursor(cursor, ctx.run.debug);
    return true;
}

} // namespace kvr
