// Reading a step's DD record by record across its concatenation, as the step's program
// would: each data set entry in turn, in-stream data or the workstation file of the data
// set. Entries that cannot be read (no name, a temporary data set, no file) are passed over.
#include "rununits/step_dd_reader.h"
#include "base/contexts.h"

#include <cstring>

#include "reader/jcl_statement.h"
#include "rununits/data_set_files.h"

namespace kvr {

struct RD_DD_IO_Control {
    RD_JobStep* Step;
    char* DDName;              // owned
    void* ConcatenationCursor; // owned
    DataSetEntryInput Entry;   // the entry being read (CurrentConcat) and its state
};

namespace {

RD_DD_IO_Control* AllocateControlBlock(MemberContext& ctx, RD_JobStep* iStep, const char* iDDName, void* iCursor) {
    void* block = nullptr;
    if (!CreateBlockWithDebug(&block, sizeof(RD_DD_IO_Control), "AllocateControlBlock", ctx.run.debug))
        return nullptr;
    auto* control = static_cast<RD_DD_IO_Control*>(block);
    std::memset(control, 0, sizeof(RD_DD_IO_Control));
    control->Step = iStep;
    control->DDName = CloneString(iDDName, ctx.run.debug);
    control->ConcatenationCursor = iCursor;
    return control;
}

void FreeControlBlock(MemberContext& ctx, RD_DD_IO_Control* iControl) {
    FreeString(iControl->DDName, ctx.run.debug);
    DeleteConcatenationCursor(iControl->ConcatenationCursor);
    FreeBlockWithDebug(iControl, "FreeControlBlock", ctx.run.debug);
}

// The suppression flag silences only the Velkor-mode message.
void ReportCouldNotOpen(MemberContext& ctx, const char* iName, SOURCE_REF iFileReference,
                        int32_t iFileLine, BOOLEAN iSuppressMsg) {
    if (ctx.run.mode == kModeVelkor && iSuppressMsg) return;
    KVRWriteMessageWithStringsAndFileLine(MessageFor(ctx, 1444, 3101), iName, nullptr,
                                          nullptr, nullptr, FALSE, iFileReference, iFileLine,
                                          ctx.run.mode);
}

int16_t PrepareConcatenation(MemberContext& ctx, RD_DD_IO_Control* ioControl, RD_DatasetConcatenation* iConcat,
                             SOURCE_REF iFileReference, int32_t iFileLine) {
    DataSetEntryInput* entry = &ioControl->Entry;
    entry->CurrentConcat = iConcat;
    if (iConcat->inStreamData.get() != nullptr)
        return OpenInstreamEntry(ctx, entry, iConcat) ? kStepDDInstream
                                                                         : kStepDDOpenFailed;
    const char* name = iConcat->DatasetName.get() != nullptr ? iConcat->DatasetName.get() : "";
    if (*name == '\0') return kStepDDNoDatasetName;
    if (std::strncmp(name, "&&", 2) == 0) {
        ReportCouldNotOpen(ctx, name, iFileReference, iFileLine, TRUE);
        return kStepDDTemporary;
    }
    std::string fileSpec;
    if (OpenFileEntry(ctx, entry, iConcat, fileSpec)) return kStepDDFile;
    ReportCouldNotOpen(ctx, fileSpec.c_str(), iFileReference, iFileLine, FALSE);
    return kStepDDOpenFailed;
}

} // namespace

int16_t OpenStepDD(MemberContext& ctx, RD_JobStep* iStep, const char* DDName, RD_DD_IO_Control** outControl,
                   SOURCE_REF iFileReference, int32_t iFileLine,
                   BOOLEAN iSuppressMsg) {
    if (outControl == nullptr) return kStepDDNoMemory; // nowhere to hand a handle out
    *outControl = nullptr;
    RD_DDStatement* dd = nullptr;
    if (!FindDDForStep(iStep, DDName, &dd)) {
        ReportCouldNotOpen(ctx, DDName != nullptr ? DDName : "", iFileReference,
                           iFileLine, iSuppressMsg);
        return kStepDDNotFound;
    }
    void* cursor = CreateConcatenationCursor(ctx, dd);
    if (cursor == nullptr) return kStepDDNoMemory;
    RD_DatasetConcatenation* first = QueryConcatenationCursor(cursor);
    if (first == nullptr) {
        DeleteConcatenationCursor(cursor);
        const uint32_t number = MessageFor(ctx, 1442, 3110);
        KVRWriteMessage(number);
        KVR_Write_MSG_Record("JCL", MsgProgramId(ctx), static_cast<int32_t>(number));
        return kStepDDNoEntry;
    }
    if (first->Parms.get() != nullptr && std::strncmp(first->Parms.get(), "DUMMY", 5) == 0) {
        DeleteConcatenationCursor(cursor);
        return kStepDDDummy;
    }
    RD_DD_IO_Control* control = AllocateControlBlock(ctx, iStep, DDName, cursor);
    if (control == nullptr) {
        DeleteConcatenationCursor(cursor);
        reportMemoryAllocationError(ctx);
        return kStepDDNoMemory;
    }
    *outControl = control;
    return PrepareConcatenation(ctx, control, first, iFileReference, iFileLine);
}

BOOLEAN ReadStepDD(MemberContext& ctx, RD_DD_IO_Control* iControl, char** Record, SOURCE_REF iFileReference,
                   int32_t iFileLine) {
    if (iControl == nullptr) return FALSE;
    if (ReadEntryRecord(&iControl->Entry, Record, nullptr)) return TRUE;
    // An entry that cannot be opened or holds no record is passed over, so the data of the
    // entries after it are still read.
    for (;;) {
        CloseEntry(ctx, &iControl->Entry);
        AdvanceConcatenationCursor(iControl->ConcatenationCursor);
        RD_DatasetConcatenation* next = QueryConcatenationCursor(iControl->ConcatenationCursor);
        iControl->Entry.CurrentConcat = next;
        if (next == nullptr) return FALSE;
        const int16_t result =
            PrepareConcatenation(ctx, iControl, next, iFileReference, iFileLine);
        if ((result == kStepDDInstream || result == kStepDDFile) &&
            ReadEntryRecord(&iControl->Entry, Record, nullptr))
            return TRUE;
    }
}

void CloseStepDD(MemberContext& ctx, RD_DD_IO_Control* iControl) {
    if (iControl == nullptr) return;
    CloseEntry(ctx, &iControl->Entry);
    FreeControlBlock(ctx, iControl);
}

} // namespace kvr
