// The records behind the list handles of kvrbase.h: doubly linked lists of caller data
// with a built-in current item, lists of bare integers, and cursors. Kept visible inside
// kvrbase so its own modules and tests can look at a list's shape.
#ifndef KVR_SERVICES_LISTS_H
#define KVR_SERVICES_LISTS_H

#include "kvrbase.h"

#include <cstdint>

// An item of a keyed list. ItemKey is the caller's own key text (never copied); in an
// integer-keyed list the 32-bit key is stored in the same field.
struct RD_LinkedListItem {
    RD_LinkedListItem* Prev;
    RD_LinkedListItem* Next;
    void* ItemData;
    const char* ItemKey;
};

// A keyed list; KeyIsString is 1 for string keys, 0 for integer keys.
struct RD_LinkedList {
    int16_t KeyIsString;
    RD_LinkedListItem* Head;
    RD_LinkedListItem* Tail;
    RD_LinkedListItem* Current;
};

struct RD_LinkedListItemForInts {
    RD_LinkedListItemForInts* Prev;
    RD_LinkedListItemForInts* Next;
    int32_t ItemKey;
};

struct RD_LinkedListForInts {
    RD_LinkedListItemForInts* Head;
    RD_LinkedListItemForInts* Tail;
    RD_LinkedListItemForInts* Current;
};

// A position over a keyed list; Item is null once the cursor has passed the end.
struct RD_LinkedListCursor {
    RD_LinkedList* List;
    RD_LinkedListItem* Item;
};

namespace kvr {

// The integer key of an item of an integer-keyed list, and the field value that holds it.
inline int32_t IntKeyOf(const RD_LinkedListItem* item) {
    return static_cast<int32_t>(reinterpret_cast<std::intptr_t>(item->ItemKey));
}
inline const char* IntKeyField(int32_t key) {
    return reinterpret_cast<const char*>(static_cast<std::intptr_t>(key));
}

} // namespace kvr

#endif
