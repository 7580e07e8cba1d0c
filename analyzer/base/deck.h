// The deck: a member's expanded records in statement order, made by several layers (the
// reader keeps comments, the model jobs, steps, DDs and IF records, the expansion procedure
// starts and ends and scheduler directives) and read by the deck walk. Every item begins
// with its structure type, by which the walk tells the records apart.
#ifndef KVR_BASE_DECK_H
#define KVR_BASE_DECK_H

#include <cstdint>

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

// The common head of every deck item.
struct RD_JclCommon {
    int16_t structureType;
};

// The deck list of the member (items of every layer; released by the member loop).
struct DeckList {
    void* list = nullptr;
    void* Handle() const { return list; }
};

} // namespace kvr

#endif
