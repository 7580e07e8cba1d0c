// Release of a member's expanded deck: each item is unlinked from the front and freed by
// its structure type, with the tags the debug block trace shows.
#include "model/deck_records.h"
#include "base/contexts.h"

#include "model/job_model.h"

namespace kvr {
namespace {

void FreeProcHeader(RD_ProcHeader* header, const char* tag) {
    FreeString(header->procedureName, BlockTraceLevel());
    FreeString(header->allParms, BlockTraceLevel());
    FreeBlockWithDebug(header, tag, BlockTraceLevel());
}

void FreeIfElseEndIf(RD_IfElseEndIf* record, const char* tag) {
    FreeString(record->statementLabel, BlockTraceLevel());
    FreeString(record->parms, BlockTraceLevel()); // null for ELSE and ENDIF
    FreeBlockWithDebug(record, tag, BlockTraceLevel());
}

void FreeDeckItem(RD_JclCommon* item) {
    switch (item->structureType) {
    case RD_STRUCT_JOB:
        FreeJobStruct(reinterpret_cast<RD_JobStruct*>(item));
        break;
    case RD_STRUCT_DD:
    case RD_STRUCT_JOBCAT:
    case RD_STRUCT_JOBLIB:
    case RD_STRUCT_PROCLIB: {
        auto* dd = reinterpret_cast<RD_DDStatement*>(item);
        FreeDDStatement(dd);
        FreeBlockWithDebug(dd, "FreeDD", BlockTraceLevel());
        break;
    }
    case RD_STRUCT_STEP:
        FreeStep(reinterpret_cast<RD_JobStep*>(item));
        break;
    case RD_STRUCT_IF:
        FreeIfElseEndIf(reinterpret_cast<RD_IfElseEndIf*>(item), "FreeIfElseEndIf 9");
        break;
    case RD_STRUCT_ELSE:
        FreeIfElseEndIf(reinterpret_cast<RD_IfElseEndIf*>(item), "FreeIfElseEndIf 10");
        break;
    case RD_STRUCT_ENDIF:
        FreeIfElseEndIf(reinterpret_cast<RD_IfElseEndIf*>(item), "FreeIfElseEndIf 11");
        break;
    case RD_STRUCT_PROC_START:
        FreeProcHeader(reinterpret_cast<RD_ProcHeader*>(item), "FreeProcHeader 7");
        break;
    case RD_STRUCT_PROC_END:
        FreeProcHeader(reinterpret_cast<RD_ProcHeader*>(item), "FreeProcHeader 8");
        break;
    case RD_STRUCT_COMMENT: {
        auto* comment = reinterpret_cast<RD_JclComment*>(item);
        FreeString(comment->sourceText, BlockTraceLevel());
        FreeBlockWithDebug(comment, "JclComment", BlockTraceLevel());
        break;
    }
    case RD_STRUCT_OPC: {
        auto* directive = reinterpret_cast<RD_Quillo_Opc*>(item);
        FreeString(directive->operation, BlockTraceLevel());
        FreeString(directive->parameters, BlockTraceLevel());
        FreeBlockWithDebug(directive, "QuilloOPC", BlockTraceLevel());
        break;
    }
    default:
        FreeBlockWithDebug(item, "Free_arrayJclDeck", BlockTraceLevel());
        break;
    }
}

} // namespace

void Free_arrayJclDeck(void* iList) {
    if (iList == nullptr) return;
    void* data = nullptr;
    while (FindFirstItem(iList, &data)) {
        UnlinkCurrentItem(iList, &data, BlockTraceLevel());
        if (data != nullptr) FreeDeckItem(static_cast<RD_JclCommon*>(data));
    }
    FreeBlockWithDebug(iList, "Free_arrayJclDeck", BlockTraceLevel());
}

} // namespace kvr
