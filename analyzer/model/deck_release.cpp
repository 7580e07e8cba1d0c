// Release of a member's expanded deck: each item is unlinked from the front and freed by
// its structure type, with the tags the debug block trace shows.
#include "model/deck_records.h"

namespace kvr {
namespace {

void FreeProcHeader(RD_ProcHeader* header, const char* tag, int32_t debug) {
    FreeString(header->procedureName, debug);
    FreeString(header->allParms, debug);
    FreeBlockWithDebug(header, tag, debug);
}

void FreeDeckItem(RD_JclCommon* item, int32_t debug) {
    switch (item->structureType) {
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
