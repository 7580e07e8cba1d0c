// Reading a step's DD record by record across its concatenation, as the step's program
// would: each data set entry in turn, in-stream data or the workstation file of the data
// set. Entries that cannot be read (no name, a temporary data set, no file) are passed over.
#include "rununits/step_dd_reader.h"

#include <cstring>

#include "driver/run_settings.h"
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

RD_DD_IO_Control* AllocateControlBlock(RD_JobStep* iStep, const char* iDDName, void* iCursor,
                                       int32_t debug) {
    void* block = nullptr;
    if (!CreateBlockWithDebug(&block, sizeof(RD_DD_IO_Control), "AllocateControlBlock", debug))
        return nullptr;
    auto* control = static_cast<RD_DD_IO_Control*>(block);
    std::memset(control, 0, sizeof(RD_DD_IO_Control));
    control->Step = iStep;
    control->DDName = CloneString(iDDName, debug);
    control->ConcatenationCursor = iCursor;
    return control;
}

void FreeControlBlock(RD_DD_IO_Control* iControl, int32_t debug) {
    FreeString(iControl->DDName, debug);
    DeleteConcatenationCursor(iControl->ConcatenationCursor, debug);
    FreeBlockWithDebug(iControl, "FreeControlBlock", debug);
}

// The suppression flag silences only the Velkor-mode message.
void ReportCouldNotOpen(int16_t iProcessingMode, const char* iName, SOURCE_REF iFileReference,
                        int32_t iFileLine, BOOLEAN iSuppressMsg) {
    if (iProcessingMode == kModeVelkor && iSuppressMsg) return;
    KVRWriteMessageWithStringsAndFileLine(MessageFor(iProcessingMode, 1444, 3101), iName, nullptr,
                                          nullptr, nullptr, FALSE, iFileReference, iFileLine,
                                          iProcessingMode);
}

int16_t PrepareConcatenation(RD_DD_IO_Control* ioControl, RD_DatasetConcatenation* iConcat,
                             SOURCE_REF iFileReference, int32_t iFileLine, int16_t iProcessingMode,
                             int32_t debug) {
    DataSetEntryInput* entry = &ioControl->Entry;
    entry->CurrentConcat = iConcat;
    if (iConcat->inStreamData != nullptr)
        return OpenInstreamEntry(entry, iConcat, iProcessingMode, debug) ? kStepDDInstream
                                                                         : kStepDDOpenFailed;
    const char* name = iConcat->DatasetName != nullptr ? iConcat->DatasetName : "";
    if (*name == '\0') return kStepDDNoDatasetName;
    if (std::strncmp(name, "&&", 2) == 0) {
        ReportCouldNotOpen(iProcessingMode, name, iFileReference, iFileLine, TRUE);
        return kStepDDTemporary;
    }
    std::string fileSpec;
    if (OpenFileEntry(entry, iConcat, fileSpec, iProcessingMode)) return kStepDDFile;
    ReportCouldNotOpen(iProcessingMode, fileSpec.c_str(), iFileReference, iFileLine, FALSE);
    return kStepDDOpenFailed;
}

} // namespace

int16_t OpenStepDD(RD_JobStep* iStep, const char* DDName, RD_DD_IO_Control** outControl,
                   SOURCE_REF iFileReference, int32_t iFileLine, int16_t iProcessingMode,
                   BOOLEAN iSuppressMsg, int32_t debug) {
    if (outControl == nullptr) return kStepDDNoMemory; // nowhere to hand a handle out
    *outControl = nullptr;
    RD_DDStatement* dd = nullptr;
    if (!FindDDForStep(iStep, DDName, &dd)) {
        ReportCouldNotOpen(iProcessingMode, DDName != nullptr ? DDName : "", iFileReference,
                           iFileLine, iSuppressMsg);
        return kStepDDNotFound;
    }
    void* cursor = CreateConcatenationCursor(dd, iProcessingMode, debug);
    if (cursor == nullptr) return kStepDDNoMemory;
    RD_DatasetConcatenation* first = QueryConcatenationCursor(cursor);
    if (first == nullptr) {
        DeleteConcatenationCursor(cursor, debug);
        const uint32_t number = MessageFor(iProcessingMode, 1442, 3110);
        KVRWriteMessage(number);
        KVR_Write_MSG_Record("JCL", MsgProgramId(iProcessingMode), static_cast<int32_t>(number));
        return kStepDDNoEntry;
    }
    if (first->Parms != nullptr && std::strncmp(first->Parms, "DUMMY", 5) == 0) {
        DeleteConcatenationCursor(cursor, debug);
        return kStepDDDummy;
    }
    RD_DD_IO_Control* control = AllocateControlBlock(iStep, DDName, cursor, debug);
    if (control == nullptr) {
        DeleteConcatenationCursor(cursor, debug);
        reportMemoryAllocationError(iProcessingMode);
        return kStepDDNoMemory;
    }
    *outControl = control;
    return PrepareConcatenation(control, first, iFileReference, iFileLine, iProcessingMode, debug);
}

BOOLEAN ReadStepDD(RD_DD_IO_Control* iControl, char** Record, SOURCE_REF iFileReference,
                   int32_t iFileLine, int16_t iProcessingMode, int32_t debug) {
    if (iControl == nullptr) return FALSE;
    if (ReadEntryRecord(&iControl->Entry, Record, nullptr)) return TRUE;
    // An entry that cannot be opened or holds no record is passed over, so the data of the
    // entries after it are still read.
    for (;;) {
        CloseEntry(&iControl->Entry, debug);
        AdvanceConcatenationCursor(iControl->ConcatenationCursor);
        RD_DatasetConcatenation* next = QueryConcatenationCursor(iControl->ConcatenationCursor);
        iControl->Entry.CurrentConcat = next;
        if (next == nullptr) return FALSE;
        const int16_t result =
            PrepareConcatenation(iControl, next, iFileReference, iFileLine, iProcessingMode, debug);
        if ((result == kStepDDInstream || result == kStepDDFile) &&
            ReadEntryRecord(&iControl->Entry, Record, nullptr))
            return TRUE;
    }
}

void CloseStepDD(RD_DD_IO_Control* iControl, int32_t debug) {
    if (iControl == nullptr) return;
    CloseEntry(&iControl->Entry, debug);
    FreeControlBlock(iControl, debug);
}

} // namespace kvr
