// DD statements of the job model: a named DD becomes a step DD or, before the first step,
// a JOBCAT/JOBLIB/PROCLIB DD of the job; every DD statement, named or not, adds one data set
// entry to the concatenation of the DD it belongs to.
#include <cstring>

#include "driver/run_settings.h"
#include "model/dd_statements.h"
#include "model/job_model.h"
#include "model/model_lists.h"
#include "reader/instream_data.h"

namespace kvr {
namespace {

void FreeConcatenation(void* data, int32_t debug) {
    auto* entry = static_cast<RD_DatasetConcatenation*>(data);
    FreeString(entry->DatasetName, debug);
    FreeString(entry->Status, debug);
    FreeString(entry->Disposition, debug);
    FreeString(entry->Parms, debug);
    DeleteInstreamSpool(entry->inStreamData, debug);
    FreeBlockWithDebug(entry, "FreeDDStatement", debug);
}

using SetJobLevel = void (*)(void*, RD_JobStruct*, RD_DDStatement*, int16_t, int32_t);

// The job-level kind of a DD named before the first step, or null for any other name.
SetJobLevel JobLevelKind(const char* name) {
    if (std::strcmp(name, "JOBCAT") == 0) return SetDDForJOBCAT;
    if (std::strcmp(name, "JOBLIB") == 0) return SetDDForJOBLIB;
    if (std::strcmp(name, "PROCLIB") == 0) return SetDDForPROCLIB;
    return nullptr;
}

// The DD a statement adds its data set to, made where the statement puts it; null when the
// statement adds nothing (the reason has been reported).
RD_DDStatement* DDForStatement(void* deck, RD_JobStruct* job, const char* name, SOURCE_REF ref,
                               int32_t line, int32_t endLine, const char* dsn, const char* siteName,
                               JCLStatement* stmt, int16_t mode, int32_t debug) {
    if (*name == '\0') return QueryCurrentDDStatement(job, mode);
    SetJobLevel setJobLevel = nullptr;
    if (job->StepCount == 0) {
        setJobLevel = JobLevelKind(name);
        if (setJobLevel == nullptr) {
            KVRWriteMessageWithFileLine(MessageFor(mode, 1376, 3074), TRUE, ref, line, mode);
            return nullptr;
        }
    }
    RD_DDStatement* dd = AllocateDD(name, ref, line, endLine, debug);
    if (dd == nullptr) {
        reportMemoryAllocationError(mode);
        return nullptr;
    }
    if (setJobLevel == nullptr) {
        AddDDToStep(QueryCurrentStep(job), dd, dd->DDName, debug);
        return dd;
    }
    setJobLevel(deck, job, dd, mode, debug);
    if (job->CurrentDDStatement != dd) return nullptr; // not in the deck: released
    if (setJobLevel == SetDDForPROCLIB) {
        const SOURCE_REF stmtRef = stmt != nullptr ? stmt->FileReference : ref;
        const int32_t stmtLine = stmt != nullptr ? stmt->fileLine : line;
        AddToJobList(dsn, siteName, stmtRef, stmtLine, mode);
    }
    return dd;
}

} // namespace

void AddDD(void* arrayJclDeck, const char* iDDName, SOURCE_REF iFileReference, BOOLEAN iHasDUMMY,
           const char* iDatasetName, const char* iStatus, const char* iDisposition,
           const char* iParms, void* iInStreamData, int32_t iFileLine, int32_t iEndFileLine,
           const char* iSiteName, JCLStatement* iStmt, int16_t iProcessingMode, int32_t debug) {
    // The in-stream data is handed over with the call: a statement that adds nothing
    // releases it here.
    RD_JobStruct* job = QueryCurrentJob();
    if (job == nullptr) {
        DeleteInstreamSpool(iInStreamData, debug);
        return;
    }
    RD_DDStatement* dd = DDForStatement(arrayJclDeck, job, TextOrEmpty(iDDName), iFileReference,
                                        iFileLine, iEndFileLine, TextOrEmpty(iDatasetName),
                                        TextOrEmpty(iSiteName), iStmt, iProcessingMode, debug);
    if (dd == nullptr || KVRU005() > 4) {
        DeleteInstreamSpool(iInStreamData, debug);
        return;
    }
    RD_DatasetConcatenation* entry = AllocateConcatenation(
        iFileReference, iFileLine, iEndFileLine, iHasDUMMY, TextOrEmpty(iDatasetName),
        TextOrEmpty(iStatus), TextOrEmpty(iDisposition), TextOrEmpty(iParms), iInStreamData,
        iProcessingMode, debug);
    if (entry == nullptr) return;
    AddConcatenationToDD(dd, entry, entry->DatasetName, debug);
}

RD_DDStatement* AllocateDD(const char* iName, SOURCE_REF iFileReference, int32_t iFileLine,
                           int32_t iEndFileLine, int32_t debug) {
    void* block = nullptr;
    if (!CreateBlockWithDebug(&block, sizeof(RD_DDStatement), "AllocateDD", debug)) return nullptr;
    auto* dd = static_cast<RD_DDStatement*>(block);
    dd->ConcatList = nullptr;
    if (!CreateList(&dd->ConcatList, debug)) {
        FreeBlockWithDebug(dd, "AllocateDD", debug);
        return nullptr;
    }
    dd->structureType = RD_STRUCT_DD;
    dd->DDName = CloneString(TextOrEmpty(iName), debug);
    dd->FileReference = iFileReference;
    dd->fileLine = iFileLine;
    dd->endFileLine = iEndFileLine;
    return dd;
}

void AddConcatenationToDD(RD_DDStatement* iDD, RD_DatasetConcatenation* iEntry, const char* /*iName*/,
                          int32_t debug) {
    if (iEntry == nullptr) return;
    // Entries are only ever reached in order, never by key; and the data set name an entry
    // had when it was appended may later be replaced and freed (an override, a referback's
    // temporary name). So the list keeps no pointer to it: the key is an empty text.
    // The DD is the entry's only owner: an entry that cannot be listed is released.
    if (iDD == nullptr || !AddItemToList(iDD->ConcatList, iEntry, "", debug))
        FreeConcatenation(iEntry, debug);
}

void FreeDDStatement(RD_DDStatement* iDD, int32_t debug) {
    if (iDD == nullptr) return;
    FreeString(iDD->DDName, debug);
    iDD->DDName = nullptr;
    DrainList(iDD->ConcatList, FreeConcatenation, "FreeDDStatement", debug);
    iDD->ConcatList = nullptr;
}

// ---------------------------------------------------------------- concatenation cursors

void* CreateConcatenationCursor(RD_DDStatement* iDD, int16_t iProcessingMode, int32_t debug) {
    if (iDD == nullptr) return nullptr;
    void* cursor = nullptr;
    if (!KVR_CreateCursor(iDD->ConcatList, &cursor, debug)) {
        reportMemoryAllocationError(iProcessingMode);
        return nullptr;
    }
    return cursor;
}

void AdvanceConcatenationCursor(void* iCursor) {
    AdvanceCursor(iCursor);
}

RD_DatasetConcatenation* QueryConcatenationCursor(void* iCursor) {
    void* data = nullptr;
    if (iCursor == nullptr || !GetDataAtCursor(iCursor, &data)) return nullptr;
    return static_cast<RD_DatasetConcatenation*>(data);
}

void DeleteConcatenationCursor(void* iCursor, int32_t debug) {
    DeleteCursor(iCursor, debug);
}

} // namespace kvr
