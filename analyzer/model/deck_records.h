// The records of the expanded deck: every item of a member's deck list begins with its
// structure type, by which the deck walk and the release of the deck dispatch.
#ifndef KVR_MODEL_DECK_RECORDS_H
#define KVR_MODEL_DECK_RECORDS_H

#include <cstdint>

#include "base/deck.h"
#include "kvrbase.h"
#include "reader/card_reader.h"
#include "base/contexts.h"

namespace kvr {

// A workload-scheduler directive (//*%OPC) kept in the deck (type 13).
struct RD_Quillo_Opc : RD_JclCommon {
    int32_t fileLine;
    OwnedText operation;
    OwnedText parameters; // the empty text when the directive has none
};

// The start of one expanded procedure call (type 7); the end record (type 8) has the same
// layout with every field zero or null.
struct RD_ProcHeader : RD_JclCommon {
    OwnedText procedureName;
    OwnedText allParms; // or null: the calling EXEC's parameter text
    SOURCE_REF FileReference;
    BOOLEAN isInstreamProc;
    SOURCE_REF invokingStepFileReference;
    int32_t invokingStepFileLine;
    int32_t invokingStepEndFileLine;
};

} // namespace kvr

#endif
