// Release of a member's expanded deck: each item is unlinked from the front and freed by
// its structure type, with the tags the debug block trace shows.
#include "model/deck_records.h"

#include "model/job_model.h"

namespace kvr {
namespace {

void FreeProcHeader(RD_ProcHeader* header, const char* tag, int32_t debug) {
    FreeString(header->procedureName, debug);
    FreeString(header->allParms, debug);
    FreeBlockWithDebug(header, tag, debug);
}

void FreeIfElseEndIf(RD_IfElseEndIf* record, const char* tag, int32_t debug) {
    FreeString(record->statementLabel, debug);
    FreeString(record->parms, debug); // null for ELSE and ENDIF
    FreeBlockWithDebug(record, tag, debug);
}

void FreeDeckItem(RD_JclCommon* item, int32_t debug) {
    switch (item->structureType) {
    case RD_STRUCT_JOB:
        FreeJobStruct(reinterpret_cast<RD_JobStruct*>(item), debug);
        break;
    case RD_STRUCT_DD:
    case RD_STRUCT_JOBCAT:
    case RD_STRUCT_JOBLIB:
    case RD_STRUCT_PROCLIB: {
        auto* dd = reinterpret_cast<RD_DDStatement*>(item);
        FreeDDStatement(dd, debug);
        FreeBlockWithDebug(dd, "FreeDD", debug);
        break;
    }
    case RD_STRUCT_STEP:
        FreeStep(reinterpret_cast<RD_JobStep*>(item), debug);
        break;
    case RD_STRUCT_IF:
        FreeIfElseEndIf(reinterpret_cast<RD_IfElseEndIf*>(item), "FreeIfElseEndIf 9", debug);
        break;
    case RD_STRUCT_ELSE:
        FreeIfElseEndIf(reinterpret_cast<RD_IfElseEndIf*>(item), "FreeIfElseEndIf 10", debug);
        break;
    case RD_STRUCT_ENDIF:
        FreeIfElseEndIf(reinterpret_cast<RD_IfElseEndIf*>(item), "FreeIfElseEndIf 11", debug);
        break;
    case RD_STRUCT_PROC_START:
        FreeProcHeader(reinterpret_cast<RD_ProcHeader*>(item), "FreeProcHeader 7", debug);
        break;
    case RD_STRUCT_PROC_END:
        FreeProcHeader(reinterpret_cast<RD_ProcHeader*>(item), "FreeProcHeader 8", debug);
        break;
    case RD_STRUCT_COMMENT: {
        auto* comment = reinterpret_cast<RD_JclComment*>(item);
        FreeString(comment->sourceText, debug);
        FreeBlockWithDebug(comment, "JclComment", debug);
        break;
    }
    case RD_STRUCT_OPC: {
        auto* directive = reinterpret_cast<RD_Quillo_Opc*>(item);
        FreeString(directive->operation, debug);
        FreeString(directive->parameters, debug);
        FreeBlockWithDebug(directive, "QuilloOPC", debug);
        break;
    }
    default:
        FreeBlockWithDebug(item, "Free_arrayJclDeck", debug);
        break;
    }
}

} // namespace

void Free_arrayJclDeck(void* iList, int32_t debug) {
    if (iList == nullptr) return;
    void* data = nullptr;
    while (FindFirstItem(iList, &data)) {
        UnlinkCurrentItem(iList, &data, debug);
        if (data != nullptr) FreeDeckItem(static_cast<RD_JclCommon*>(data), debug);
    }
    FreeBlockWithDebug(iList, "Free_arrayJclDeck", debug);
}

} // namespace kvr
