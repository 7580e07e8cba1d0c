// The deck: a member's expanded records in statement order, made by several layers (the
// reader keeps comments, the model jobs, steps, DDs and IF records, the expansion procedure
// starts and ends and scheduler directives) and read by the deck walk. Every item begins
// with its structure type, by which the walk tells the records apart.
#ifndef KVR_BASE_DECK_H
#define KVR_BASE_DECK_H

#include <cstdint>

#include "base/lists.h"

namespace kvr {

enum RD_StructureType : int16_t {
    RD_STRUCT_JOB = 1,
    RD_STRUCT_DD = 2,
    RD_STRUCT_JOBCAT = 3,
    RD_STRUCT_JOBLIB = 4,
    RD_STRUCT_PROCLIB = 5,
    RD_STRUCT_STEP = 6,
    RD_STRUCT_PROC_START = 7,
    RD_STRUCT_PROC_END = 8,
    RD_STRUCT_IF = 9,
    RD_STRUCT_ELSE = 10,
    RD_STRUCT_ENDIF = 11,
    RD_STRUCT_COMMENT = 12,
    RD_STRUCT_OPC = 13,
};

// The common head of every deck item: its kind, and how it is given back, so that the deck
// can release records of every layer without knowing them.
struct RD_JclCommon {
    int16_t structureType;
    void (*release)(RD_JclCommon* item); // set by NewDeckItem
    const char* releaseTag;              // what the -d2 trace names when it is given back
};

// Gives a deck record back through the release its maker set (nothing for null).
inline void ReleaseDeckItem(RD_JclCommon* item) {
    if (item != nullptr) item->release(item);
}

template <class T> void ReleaseDeckRecord(RD_JclCommon* item) {
    DeleteRecord(static_cast<T*>(item), item->releaseTag);
}

// A deck record of type T (derived from RD_JclCommon), constructed in a counted block taken
// under tag; releaseTag names its release. Null when no block can be had.
template <class T> T* NewDeckItem(RD_StructureType type, const char* tag, const char* releaseTag) {
    T* record = NewRecord<T>(tag);
    if (record == nullptr) return nullptr;
    record->structureType = type;
    record->release = &ReleaseDeckRecord<T>;
    record->releaseTag = releaseTag;
    return record;
}

// The deck list of the member: items of every layer, each released through its head.
struct DeckList : OwnedList<RD_JclCommon> {
    DeckList() : OwnedList(ReleaseDeckItem, "Free_arrayJclDeck") {}
};

} // namespace kvr

#endif
