// The records of the expanded deck: every item of a member's deck list begins with its
// structure type, by which the deck walk and the release of the deck dispatch.
#ifndef KVR_MODEL_DECK_RECORDS_H
#define KVR_MODEL_DECK_RECORDS_H

#include <cstdint>

#include "kvrbase.h"

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

// A JCL comment card kept in the deck (type 12).
struct RD_JclComment {
    int16_t structureType;
    int32_t fileLine;
    char* sourceText; // owned (CloneString)
};

// A workload-scheduler directive (//*%OPC) kept in the deck (type 13).
struct RD_Quillo_Opc {
    int16_t structureType;
    int32_t fileLine;
    char* operation;  // owned
    char* parameters; // owned, the empty text when the directive has none
};

// The start of one expanded procedure call (type 7); the end record (type 8) has the same
// layout with every field zero or null.
struct RD_ProcHeader {
    int16_t structureType;
    char* procedureName; // owned
    char* allParms;      // owned or null: the calling EXEC's parameter text
    SOURCE_REF FileReference;
    BOOLEAN isInstreamProc;
    SOURCE_REF invokingStepFileReference;
    int32_t invokingStepFileLine;
    int32_t invokingStepEndFileLine;
};

// Frees every item of the deck list by its structure type, then the list itself.
void Free_arrayJclDeck(void* iList, int32_t debug);

} // namespace kvr

#endif
