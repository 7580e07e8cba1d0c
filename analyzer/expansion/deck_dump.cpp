// The debug listing of a member's expanded deck: one line per deck record, in deck order,
// on standard output.
#include <cstdio>

#include "expansion/deck_processor.h"
#include "base/contexts.h"
#include "model/job_model.h"

namespace kvr {
namespace {

void DumpProcHeader(const RD_ProcHeader* header) {
    std::printf("structureType(%d) PROC\t%6d%6d %s %s\n", header->structureType,
                header->invokingStepFileLine, header->invokingStepEndFileLine,
                header->procedureName.get() != nullptr ? header->procedureName.get() : "",
                header->isInstreamProc ? "Inline" : "");
}

void DumpIfElseEndIf(const char* kind, const RD_IfElseEndIf* record) {
    std::printf("structureType(%d) %s\t%6d%6d %s\n", record->structureType, kind, record->fileLine,
                record->endFileLine, record->statementLabel.get());
}

void DumpDeckItem(const RD_JclCommon* item) {
    const int type = item->structureType;
    switch (type) {
    case RD_STRUCT_JOB: {
        const auto* job = reinterpret_cast<const RD_JobStruct*>(item);
        std::printf("structureType(%d) JOB\t%6d%6d %s\n", type, job->fileLine, job->endFileLine,
                    job->JobName.get());
        break;
    }
    case RD_STRUCT_DD: {
        const auto* dd = reinterpret_cast<const RD_DDStatement*>(item);
        std::printf("structureType(%d) DD\t%6d%6d %s\n", type, dd->fileLine, dd->endFileLine,
                    dd->DDName.get());
        break;
    }
    case RD_STRUCT_JOBCAT:
        std::printf("structureType(%d) DD(JOBCAT)\t%s\n", type,
                    reinterpret_cast<const RD_DDStatement*>(item)->DDName.get());
        break;
    case RD_STRUCT_JOBLIB:
        std::printf("structureType(%d) DD(JOBLIB)\t     %s\n", type,
                    reinterpret_cast<const RD_DDStatement*>(item)->DDName.get());
        break;
    case RD_STRUCT_PROCLIB:
        std::printf("structureType(%d) DD(PROCLIB)\t%s\n", type,
                    reinterpret_cast<const RD_DDStatement*>(item)->DDName.get());
        break;
    case RD_STRUCT_STEP: {
        const auto* step = reinterpret_cast<const RD_JobStep*>(item);
        std::printf("structureType(%d) STEP\t%6d%6d %s\n", type, step->fileLine, step->endFileLine,
                    step->StepName.get());
        break;
    }
    case RD_STRUCT_PROC_START:
        DumpProcHeader(reinterpret_cast<const RD_ProcHeader*>(item));
        break;
    case RD_STRUCT_PROC_END:
        std::printf("structureType(%d) END PROC\n", type);
        break;
    case RD_STRUCT_IF:
        DumpIfElseEndIf("IF", reinterpret_cast<const RD_IfElseEndIf*>(item));
        break;
    case RD_STRUCT_ELSE:
        DumpIfElseEndIf("ELSE", reinterpret_cast<const RD_IfElseEndIf*>(item));
        break;
    case RD_STRUCT_ENDIF:
        DumpIfElseEndIf("ENDIF", reinterpret_cast<const RD_IfElseEndIf*>(item));
        break;
    case RD_STRUCT_COMMENT: {
        const auto* comment = reinterpret_cast<const RD_JclComment*>(item);
        std::printf("structureType(%d) COMMENT\t%6d       %s\n", type, comment->fileLine,
                    comment->sourceText.get());
        break;
    }
    case RD_STRUCT_OPC: {
        const auto* directive = reinterpret_cast<const RD_Quillo_Opc*>(item);
        std::printf("structureType(%d) QuilloOPC\t%6d       %s\n", type, directive->fileLine,
                    directive->operation.get());
        break;
    }
    default:
        std::printf("structureType(%d) UNKNOWN\n", type);
        break;
    }
}

} // namespace

void DumpJclDeckToStdout(MemberContext& ctx) {
    if (!ctx.run.debug) return;
    std::printf("JclDeck\n");
    std::printf("=======\n");
    // A cursor leaves the deck list's current item where the deck walk expects it.
    void* cursor = nullptr;
    if (ctx.deck.Handle() != nullptr && KVR_CreateCursor(ctx.deck.Handle(), &cursor, ctx.run.debug) != 0) {
        void* data = nullptr;
        for (bool more = GetDataAtCursor(cursor, &data) != 0; more;
             more = AdvanceCursor(cursor) != 0 && GetDataAtCursor(cursor, &data) != 0)
            if (data != nullptr) DumpDeckItem(static_cast<const RD_JclCommon*>(data));
        DeleteCursor(cursor, ctx.run.debug);
    }
    std::printf("================\n");
}

} // namespace kvr
