// DD statements of the job model: a named DD becomes a step DD or, before the first step,
// a JOBCAT/JOBLIB/PROCLIB DD of the job; every DD statement, named or not, adds one data set
// entry to the concatenation of the DD it belongs to.
#include <cstring>

#include "base/contexts.h"
#include "model/job_model.h"
#include "model/model_lists.h"
#include "reader/instream_data.h"

namespace kvr {
namespace {

using SetJobLevel = void (*)(MemberContext&, RD_JobStruct*, RD_DDStatement*);

// The job-level kind of a DD named before the first step, or null for any other name.
SetJobLevel JobLevelKind(const char* name) {
    if (std::strcmp(name, "JOBCAT") == 0) return SetDDForJOBCAT;
    if (std::strcmp(name, "JOBLIB") == 0) return SetDDForJOBLIB;
    if (std::strcmp(name, "PROCLIB") == 0) return SetDDForPROCLIB;
    return nullptr;
}

// The DD a statement adds its data set to, made where the statement puts it; null when the
// statement adds nothing (the reason has been reported).
RD_DDStatement* DDForStatement(MemberContext& ctx, RD_JobStruct* job, const char* name, SOURCE_REF ref,
                               int32_t line, int32_t endLine, const char* dsn, const char* siteName,
                               JCLStatement* stmt) {
    if (*name == '\0') return QueryCurrentDDStatement(ctx, job);
    SetJobLevel setJobLevel = nullptr;
    if (job->StepCount == 0) {
        setJobLevel = JobLevelKind(name);
        if (setJobLevel == nullptr) {
            KVRWriteMessageWithFileLine(MessageFor(ctx, 1376, 3074), TRUE, ref, line, ctx.run.mode);
            return nullptr;
        }
    }
    RD_DDStatement* dd = AllocateDD(ctx, name, ref, line, endLine);
    if (dd == nullptr) {
        reportMemoryAllocationError(ctx);
        return nullptr;
    }
    if (setJobLevel == nullptr) {
        AddDDToStep(ctx, QueryCurrentStep(job), dd, dd->DDName.get());
        return dd;
    }
    setJobLevel(ctx, job, dd);
    if (job->CurrentDDStatement != dd) return nullptr; // not in the deck: released
    if (setJobLevel == SetDDForPROCLIB) {
        const SOURCE_REF stmtRef = stmt != nullptr ? stmt->FileReference : ref;
        const int32_t stmtLine = stmt != nullptr ? stmt->fileLine : line;
        AddToJobList(dsn, siteName, stmtRef, stmtLine, ctx.run.mode);
    }
    return dd;
}

} // namespace

void AddDD(MemberContext& ctx, const char* iDDName, SOURCE_REF iFileReference, BOOLEAN iHasDUMMY,
           const char* iDatasetName, const char* iStatus, const char* iDisposition,
           const char* iParms, void* iInStreamData, int32_t iFileLine, int32_t iEndFileLine, JCLStatement* iStmt) {
    // The in-stream data is handed over with the call: a statement that adds nothing
    // releases it here.
    RD_JobStruct* job = ctx.model.currentJob;
    if (job == nullptr) {
        DeleteInstreamSpool(iInStreamData);
        return;
    }
    RD_DDStatement* dd = DDForStatement(ctx, job, TextOrEmpty(iDDName), iFileReference,
                                        iFileLine, iEndFileLine, TextOrEmpty(iDatasetName),
                                        TextOrEmpty(ctx.run.siteName.c_str()), iStmt);
    if (dd == nullptr || KVRU005() > 4) {
        DeleteInstreamSpool(iInStreamData);
        return;
    }
    RD_DatasetConcatenation* entry = AllocateConcatenation(ctx, 
        iFileReference, iFileLine, iEndFileLine, iHasDUMMY, TextOrEmpty(iDatasetName),
        TextOrEmpty(iStatus), TextOrEmpty(iDisposition), TextOrEmpty(iParms), iInStreamData);
    if (entry == nullptr) return;
    AddConcatenationToDD(ctx, dd, entry);
}

RD_DDStatement* AllocateDD(MemberContext& ctx, const char* iName, SOURCE_REF iFileReference, int32_t iFileLine,
                           int32_t iEndFileLine) {
    auto* dd = NewDeckItem<RD_DDStatement>(RD_STRUCT_DD, "AllocateDD", "FreeDD");
    if (dd == nullptr || !dd->ConcatList.Create()) {
        ReleaseDeckItem(dd);
        return nullptr;
    }
    dd->DDName.reset(CloneString(TextOrEmpty(iName), ctx.run.debug));
    dd->FileReference = iFileReference;
    dd->fileLine = iFileLine;
    dd->endFileLine = iEndFileLine;
    return dd;
}

void AddConcatenationToDD(MemberContext& ctx, RD_DDStatement* iDD, RD_DatasetConcatenation* iEntry) {
    if (iEntry == nullptr) return;
    // Entries are only ever reached in order, never by key; and the data set name an entry
    // had when it was appended may later be replaced and freed (an override, a referback's
    // temporary name). So the list keeps no pointer to it: the key is an empty text.
    // The DD is the entry's only owner: an entry that cannot be listed is released.
    if (iDD == nullptr || !AddItemToList(iDD->ConcatList.Handle(), iEntry, "", ctx.run.debug))
        FreeConcatenation(iEntry);
}

void FreeDDStatement(RD_DDStatement* iDD) {
    ReleaseDeckItem(iDD);
}

void FreeConcatenation(RD_DatasetConcatenation* iEntry) {
    DeleteRecord(iEntry, "FreeDDStatement");
}

// ---------------------------------------------------------------- concatenation cursors

void* CreateConcatenationCursor(MemberContext& ctx, RD_DDStatement* iDD) {
    if (iDD == nullptr) return nullptr;
    void* cursor = nullptr;
    if (!KVR_CreateCursor(iDD->ConcatList.Handle(), &cursor, ctx.run.debug)) {
        reportMemoryAllocationError(ctx);
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

void DeleteConcatenationCursor(void* iCursor) {
    DeleteCursor(iCursor, BlockTraceLevel());
}

} // namespace kvr
