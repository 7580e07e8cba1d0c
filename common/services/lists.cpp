// Doubly linked lists of caller data, the collection type of the whole system. Each list
// carries one built-in position (the current item) that the find and walk operations
// move; cursors give further, independent positions. Every list, item and cursor is a
// counted block, so a debug run can tell whether all of them were returned.
#include "services/lists.h"

#include "services/key_pattern.h"

#include <cstring>

namespace {

RD_LinkedList* AsList(void* handle) {
    return static_cast<RD_LinkedList*>(handle);
}
RD_LinkedListCursor* AsCursor(void* handle) {
    return static_cast<RD_LinkedListCursor*>(handle);
}

void SetOut(void** out, void* value) {
    if (out != nullptr) *out = value;
}

// Makes item the current item and hands out its data; 1 when there is an item.
int32_t Land(RD_LinkedList* list, RD_LinkedListItem* item, void** outItemData) {
    list->Current = item;
    SetOut(outItemData, item != nullptr ? item->ItemData : nullptr);
    return item != nullptr ? 1 : 0;
}

template <typename List, typename Item> void LinkAtTail(List* list, Item* item) {
    item->Next = nullptr;
    item->Prev = list->Tail;
    if (list->Tail == nullptr) {
        list->Head = item;
    } else {
        list->Tail->Next = item;
    }
    list->Tail = item;
}

// Takes the current item out of the chain; its predecessor becomes current.
template <typename List, typename Item> void UnlinkItem(List* list, Item* item) {
    if (item->Prev != nullptr) {
        item->Prev->Next = item->Next;
    } else {
        list->Head = item->Next;
    }
    if (item->Next != nullptr) {
        item->Next->Prev = item->Prev;
    } else {
        list->Tail = item->Prev;
    }
    list->Current = item->Prev;
}

int32_t AppendItem(void* handle, void* data, const char* key, const char* tag, int32_t debug) {
    RD_LinkedList* list = AsList(handle);
    if (list == nullptr) return 0;
    void* block = nullptr;
    if (CreateBlockWithDebug(&block, sizeof(RD_LinkedListItem), tag, debug) == 0) return 0;
    auto* item = static_cast<RD_LinkedListItem*>(block);
    item->ItemData = data;
    item->ItemKey = key;
    LinkAtTail(list, item);
    return 1;
}

int32_t UnlinkCurrent(void* handle, void** outItemData, void** outItemKey, const char* tag,
                      int32_t debug) {
    RD_LinkedList* list = AsList(handle);
    RD_LinkedListItem* item = list != nullptr ? list->Current : nullptr;
    SetOut(outItemData, item != nullptr ? item->ItemData : nullptr);
    SetOut(outItemKey, item != nullptr ? const_cast<char*>(item->ItemKey) : nullptr);
    if (item == nullptr) return 0;
    UnlinkItem(list, item);
    FreeBlockWithDebug(item, tag, debug);
    return 1;
}

// String searches skip integer-keyed lists: their key fields hold numbers, not texts.
bool HasTextKeys(const RD_LinkedList* list) {
    return list->KeyIsString != 0;
}

} // namespace

extern "C" {

// ------------------------------------------------------------------ creation and adding

int32_t CreateList(void** ReturnPtr, int32_t debug) {
    if (ReturnPtr == nullptr) return 0;
    *ReturnPtr = nullptr;
    void* block = nullptr;
    if (CreateBlockWithDebug(&block, sizeof(RD_LinkedList), "CreateList", debug) == 0) return 0;
    auto* list = static_cast<RD_LinkedList*>(block);
    list->KeyIsString = 1;
    list->Head = list->Tail = list->Current = nullptr;
    *ReturnPtr = list;
    return 1;
}

int32_t CreateListWithIntKey(void** ReturnPtr, int32_t debug) {
    if (CreateList(ReturnPtr, debug) == 0) return 0;
    AsList(*ReturnPtr)->KeyIsString = 0;
    return 1;
}

int32_t CreateListForInts(RD_LinkedListForInts** outList, int32_t debug) {
    if (outList == nullptr) return 0;
    *outList = nullptr;
    void* block = nullptr;
    if (CreateBlockWithDebug(&block, sizeof(RD_LinkedListForInts), "CreateListForInts", debug) == 0)
        return 0;
    auto* list = static_cast<RD_LinkedListForInts*>(block);
    list->Head = list->Tail = list->Current = nullptr;
    *outList = list;
    return 1;
}

int32_t AddItemToList(void* ListHdr, void* ItemData, const char* Key, int32_t debug) {
    return AppendItem(ListHdr, ItemData, Key, "AddItemToList", debug);
}

int32_t AddItemToListWithIntKey(void* iList, void* iItemData, int32_t iItemKey, int32_t debug) {
    return AppendItem(iList, iItemData, kvr::IntKeyField(iItemKey), "AddItemToListWithIntKey",
                      debug);
}

int32_t AddIntToList(RD_LinkedListForInts* iList, int32_t iItemKey, int32_t debug) {
    if (iList == nullptr) return 0;
    void* block = nullptr;
    if (CreateBlockWithDebug(&block, sizeof(RD_LinkedListItemForInts), "AddIntToList", debug) == 0)
        return 0;
    auto* item = static_cast<RD_LinkedListItemForInts*>(block);
    item->ItemKey = iItemKey;
    LinkAtTail(iList, item);
    return 1;
}

// ------------------------------------------------------------------ built-in iteration

int32_t FindFirstItem(void* ListHdr, void** outItemData) {
    RD_LinkedList* list = AsList(ListHdr);
    if (list == nullptr || list->Head == nullptr) {
        SetOut(outItemData, nullptr); // an empty list keeps its current item
        return 0;
    }
    return Land(list, list->Head, outItemData);
}

int32_t FindLastItem(void* ListHdr, void** outItemData) {
    RD_LinkedList* list = AsList(ListHdr);
    if (list == nullptr || list->Tail == nullptr) {
        SetOut(outItemData, nullptr);
        return 0;
    }
    return Land(list, list->Tail, outItemData);
}

int32_t GetNextItem(void* ListHdr, void** outItemData) {
    RD_LinkedList* list = AsList(ListHdr);
    if (list == nullptr || list->Current == nullptr) {
        SetOut(outItemData, nullptr);
        return 0;
    }
    return Land(list, list->Current->Next, outItemData);
}

int32_t GetPreviousItem(void* ListHdr, void** outItemData) {
    RD_LinkedList* list = AsList(ListHdr);
    if (list == nullptr || list->Current == nullptr) {
        SetOut(outItemData, nullptr);
        return 0;
    }
    return Land(list, list->Current->Prev, outItemData);
}

int32_t GetCurrentItem(void* iList, void** outItemData) {
    RD_LinkedList* list = AsList(iList);
    void* data = (list != nullptr && list->Current != nullptr) ? list->Current->ItemData : nullptr;
    SetOut(outItemData, data);
    return data != nullptr ? 1 : 0;
}

int32_t FindItemWithKey(void* ListHdr, const char* iSearchKey, void** outItemData) {
    RD_LinkedList* list = AsList(ListHdr);
    if (list == nullptr) {
        SetOut(outItemData, nullptr);
        return 0;
    }
    RD_LinkedListItem* item = list->Head;
    if (iSearchKey == nullptr || !HasTextKeys(list)) item = nullptr;
    while (item != nullptr &&
           (item->ItemKey == nullptr || std::strcmp(item->ItemKey, iSearchKey) != 0))
        item = item->Next;
    return Land(list, item, outItemData);
}

int32_t FindItemWithIntKey(void* iList, int32_t iSearchKey, void** outItemData) {
    RD_LinkedList* list = AsList(iList);
    if (list == nullptr) {
        SetOut(outItemData, nullptr);
        return 0;
    }
    RD_LinkedListItem* item = list->Head;
    while (item != nullptr && kvr::IntKeyOf(item) != iSearchKey)
        item = item->Next;
    return Land(list, item, outItemData);
}

int32_t FindIntItem(RD_LinkedListForInts* iList, int32_t iSearchKey) {
    if (iList == nullptr) return 0;
    RD_LinkedListItemForInts* item = iList->Head;
    while (item != nullptr && item->ItemKey != iSearchKey)
        item = item->Next;
    iList->Current = item;
    return item != nullptr ? 1 : 0;
}

int32_t MatchItemWithKey(void* ListHdr, const char* iSearchKey) {
    RD_LinkedList* list = AsList(ListHdr);
    if (list == nullptr) return 0;
    RD_LinkedListItem* item = list->Head;
    if (iSearchKey == nullptr || !HasTextKeys(list)) item = nullptr;
    while (item != nullptr && !kvr::MatchKeyPattern(item->ItemKey, iSearchKey))
        item = item->Next;
    return Land(list, item, nullptr);
}

// ------------------------------------------------------------------ removal

int32_t UnlinkCurrentItem(void* ListHdr, void** outItemData, int32_t debug) {
    return UnlinkCurrent(ListHdr, outItemData, nullptr, "UnlinkCurrentItem", debug);
}

int32_t UnlinkCurrentItemAndReturnKey(void* ListHdr, void** outItemData, void** outItemKey,
                                      int32_t debug) {
    return UnlinkCurrent(ListHdr, outItemData, outItemKey, "UnlinkCurrentItemAndReturnKey", debug);
}

void FreeList(void* iList, int32_t debug) {
    if (iList == nullptr) return;
    void* data = nullptr;
    // Unlinking the head leaves no current item, so each round starts again at the head.
    while (FindFirstItem(iList, &data) != 0) {
        UnlinkCurrentItem(iList, &data, debug);
        FreeBlockWithDebug(data, "FreeList", debug);
    }
    FreeBlockWithDebug(iList, "FreeList", debug);
}

void FreeIntList(RD_LinkedListForInts* iList, int32_t debug) {
    if (iList == nullptr) return;
    while (iList->Head != nullptr) {
        RD_LinkedListItemForInts* item = iList->Head;
        UnlinkItem(iList, item);
        FreeBlockWithDebug(item, "UnlinkCurrentIntItem", debug);
    }
    FreeBlockWithDebug(iList, "FreeIntList", debug);
}

// ------------------------------------------------------------------ counting
// The counts walk the chain directly, so the current item never moves.

int32_t CountItemsInIntList(void* iList, int32_t /*debug*/) {
    RD_LinkedList* list = AsList(iList);
    int32_t count = 0;
    for (RD_LinkedListItem* item = list != nullptr ? list->Head : nullptr; item != nullptr;
         item = item->Next)
        ++count;
    return count;
}

int32_t CountIntItemsInList(RD_LinkedListForInts* iList, int32_t /*debug*/) {
    int32_t count = 0;
    for (RD_LinkedListItemForInts* item = iList != nullptr ? iList->Head : nullptr; item != nullptr;
         item = item->Next)
        ++count;
    return count;
}

int32_t CountItemsInListWithIntKey(void* iList, int32_t iSearchKey, void** outItemData,
                                   int32_t /*debug*/) {
    RD_LinkedList* list = AsList(iList);
    int32_t count = 0;
    for (RD_LinkedListItem* item = list != nullptr ? list->Head : nullptr; item != nullptr;
         item = item->Next) {
        if (kvr::IntKeyOf(item) != iSearchKey) continue;
        if (count++ == 0) SetOut(outItemData, item->ItemData);
    }
    return count;
}

// ------------------------------------------------------------------ cursors

int32_t KVR_CreateCursor(void* ListArg, void** CursorArg, int32_t debug) {
    if (CursorArg == nullptr) return 0;
    *CursorArg = nullptr;
    RD_LinkedList* list = AsList(ListArg);
    if (list == nullptr) return 0;
    void* block = nullptr;
    if (CreateBlockWithDebug(&block, sizeof(RD_LinkedListCursor), "KVR_CreateCursor", debug) == 0)
        return 0;
    auto* cursor = static_cast<RD_LinkedListCursor*>(block);
    cursor->List = list;
    cursor->Item = list->Head;
    *CursorArg = cursor;
    return 1;
}

int32_t DuplicateCursor(void* CursorArg, void** NewCursorArg, int32_t debug) {
    if (NewCursorArg == nullptr) return 0;
    *NewCursorArg = nullptr;
    RD_LinkedListCursor* source = AsCursor(CursorArg);
    if (source == nullptr) return 0;
    void* block = nullptr;
    if (CreateBlockWithDebug(&block, sizeof(RD_LinkedListCursor), "DuplicateCursor", debug) == 0)
        return 0;
    auto* cursor = static_cast<RD_LinkedListCursor*>(block);
    cursor->List = source->List;
    cursor->Item = source->Item;
    *NewCursorArg = cursor;
    return 1;
}

int32_t GetDataAtCursor(void* CursorArg, void** outItemData) {
    RD_LinkedListCursor* cursor = AsCursor(CursorArg);
    if (cursor == nullptr || cursor->Item == nullptr) return 0;
    SetOut(outItemData, cursor->Item->ItemData);
    return 1;
}

int32_t AdvanceCursor(void* CursorArg) {
    RD_LinkedListCursor* cursor = AsCursor(CursorArg);
    if (cursor == nullptr) return 0;
    if (cursor->Item != nullptr) cursor->Item = cursor->Item->Next;
    return cursor->Item != nullptr ? 1 : 0;
}

void DeleteCursor(void* CursorArg, int32_t debug) {
    FreeBlockWithDebug(CursorArg, "DeleteCursor", debug);
}

} // extern "C"
