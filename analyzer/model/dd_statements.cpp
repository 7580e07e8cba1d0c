// DD statement processing: one expanded DD statement becomes the values of a data set entry
// (DUMMY, data set name, DISP status and normal disposition, parameter text, in-stream data),
// which either starts or extends a DD of the job model, or is merged into / appended to a
// procedure step's DD when the statement overrides it.
#include "model/dd_statements.h"
#include "base/contexts.h"

#include <cstring>

#include "expansion/statement_dispatch.h"
#include "reader/instream_data.h"
#include "reader/statement_list.h"

namespace kvr {
namespace {

// The values taken from one statement. The strings are owned clones, never null; the DD name
// points into the statement. inStreamData still belongs to the statement.
struct DDWorkData {
    const char* DDName = "";
    SOURCE_REF FileReference = -1;
    int32_t fileLine = 0;
    int32_t endFileLine = 0;
    BOOLEAN hasDUMMY = FALSE;
    char* DatasetName = nullptr;
    char* Status = nullptr;
    char* Disposition = nullptr;
    char* Parms = nullptr;
    void* inStreamData = nullptr;
};

// The DISP working copy holds this many characters of the value.
constexpr size_t kDispWorkLength = 31;

void FreeDDWorkData(MemberContext& ctx, DDWorkData& work) {
    FreeString(work.DatasetName, ctx.run.debug);
    FreeString(work.Status, ctx.run.debug);
    FreeString(work.Disposition, ctx.run.debug);
    FreeString(work.Parms, ctx.run.debug);
    work.DatasetName = work.Status = work.Disposition = work.Parms = nullptr;
}

// Replaces an owned string by a clone of iNew (empty for null).
void ReplaceString(MemberContext& ctx, char** ioTarget, const char* iNew) {
    char* copy = CloneString(iNew != nullptr ? iNew : "", ctx.run.debug);
    FreeString(*ioTarget, ctx.run.debug);
    *ioTarget = copy;
}

bool IsEmpty(const char* iText) {
    return iText == nullptr || iText[0] == '\0';
}

// The value of a keyword parameter as an owned clone, or null when it is not coded.
char* CaptureKeywordValue(MemberContext& ctx, JCLStatement* iStmt, const char* iKeyword) {
    char* parm = nullptr;
    if (!JCLStatementKeywordParm(ctx, iStmt, iKeyword, &parm)) return nullptr;
    return CopyParmValue(ctx, iStmt, parm);
}

BOOLEAN CaptureDDPositionalParm_DUMMY(MemberContext& ctx, JCLStatement* iStmt) {
    char* parm = nullptr;
    if (!JCLStatementPositionalParm(ctx, iStmt, 1, &parm)) return FALSE;
    return parm != nullptr && std::strcmp(parm, "DUMMY") == 0 ? TRUE : FALSE;
}

// DSN wins over DSNAME; NULLFILE stands for no data set.
char* CaptureDDKeywordParm_DSNAME(MemberContext& ctx, JCLStatement* iStmt) {
    char* value = CaptureKeywordValue(ctx, iStmt, "DSN");
    if (value == nullptr) value = CaptureKeywordValue(ctx, iStmt, "DSNAME");
    if (value == nullptr || std::strcmp(value, "NULLFILE") == 0) {
        FreeString(value, ctx.run.debug);
        return CloneString("", ctx.run.debug);
    }
    return value;
}

char* CaptureDDParms(MemberContext& ctx, JCLStatement* iStmt) {
    char* text = nullptr;
    if (!JCLStatementParmText(iStmt, &text) || text == nullptr) return CloneString("", ctx.run.debug);
    return CloneString(text, ctx.run.debug);
}

void CaptureDDKeyworkParm_DISP(MemberContext& ctx, JCLStatement* iStmt, DDWorkData& work) {
    char* value = CaptureKeywordValue(ctx, iStmt, "DISP");
    if (value == nullptr) {
        work.Status = CloneString("", ctx.run.debug);
        work.Disposition = CloneString("", ctx.run.debug);
        return;
    }
    if (value[0] != '(') {
        work.Status = value; // DISP=SHR: the whole value is the status
        work.Disposition = CloneString("", ctx.run.debug);
        return;
    }
    std::string status;
    std::string disposition;
    ExtractStatusAndDisposition(value, status, disposition);
    FreeString(value, ctx.run.debug);
    work.Status = CloneString(status.c_str(), ctx.run.debug);
    work.Disposition = CloneString(disposition.c_str(), ctx.run.debug);
}

void ParseDD(MemberContext& ctx, JCLStatement* iStmt, DDWorkData& work) {
    work.DDName = iStmt->StatementLabel;
    work.FileReference = JCLStmtFileReference(iStmt);
    work.fileLine = JCLStmtFileLine(iStmt);
    work.endFileLine = JCLStmtEndFileLine(iStmt);
    work.hasDUMMY = CaptureDDPositionalParm_DUMMY(ctx, iStmt);
    work.DatasetName = CaptureDDKeywordParm_DSNAME(ctx, iStmt);
    work.Parms = CaptureDDParms(ctx, iStmt);
    CaptureDDKeyworkParm_DISP(ctx, iStmt, work);
    work.inStreamData = iStmt->inStreamData;
}

// Releases an entry's in-stream data unless it is the data about to take its place.
void ReleaseInstreamData(MemberContext& ctx, void* iData) {
    if (iData != nullptr) DeleteInstreamSpool(iData);
}

void DropInstreamData(MemberContext& ctx, RD_DatasetConcatenation* ioEntry, void* iKeep) {
    if (ioEntry->inStreamData != iKeep) ReleaseInstreamData(ctx, ioEntry->inStreamData);
    ioEntry->inStreamData = nullptr;
}

} // namespace

// The working copy holds at most 31 characters: a longer value is read only that far, and a
// subparameter that is cut off, or not closed by "," or ")", runs to the end of the copy.
void ExtractStatusAndDisposition(const char* iValue, std::string& outStatus,
                                 std::string& outDisposition) {
    outStatus.clear();
    outDisposition.clear();
    const char* value = iValue != nullptr ? iValue : "";
    const std::string work(value, strnlen(value, kDispWorkLength));

    size_t pos = work.empty() || work[0] != '(' ? 0 : 1;
    // One subparameter from pos to the next "," or ")" (or the end of the copy); pos moves
    // onto that delimiter.
    auto next = [&work, &pos]() {
        const size_t end = work.find_first_of(",)", pos);
        const size_t stop = end == std::string::npos ? work.size() : end;
        std::string sub = work.substr(pos, stop - pos);
        pos = stop;
        return sub;
    };
    auto atComma = [&work, &pos]() { return pos < work.size() && work[pos] == ','; };

    const std::string status = next();
    std::string normal;
    std::string abnormal;
    if (atComma()) {
        ++pos;
        normal = next();
        if (atComma()) {
            ++pos;
            abnormal = next();
        }
    }
    outStatus = status.empty() ? "NEW" : status;
    if (!normal.empty())
        outDisposition = normal;
    else if (!abnormal.empty())
        outDisposition = outStatus == "NEW" ? "DELETE" : "KEEP";
}

RD_DatasetConcatenation* AllocateConcatenation(MemberContext& ctx, SOURCE_REF iFileReference, int32_t iFileLine,
                                               int32_t iEndFileLine, BOOLEAN iHasDUMMY,
                                               const char* iDatasetName, const char* iStatus,
                                               const char* iDisposition, const char* iParms,
                                               void* iInStreamData) {
    void* block = nullptr;
    if (!CreateBlockWithDebug(&block, sizeof(RD_DatasetConcatenation), "AllocateConcatenation",
                              ctx.run.debug)) {
        reportMemoryAllocationError(ctx);
        // The entry takes the data over in every case, so it must not be lost here.
        ReleaseInstreamData(ctx, iInStreamData);
        return nullptr;
    }
    auto* entry = static_cast<RD_DatasetConcatenation*>(block);
    entry->FileReference = iFileReference;
    entry->fileLine = iFileLine;
    entry->endFileLine = iEndFileLine;
    entry->hasDUMMY = iHasDUMMY;
    entry->DatasetName = CloneString(iDatasetName != nullptr ? iDatasetName : "", ctx.run.debug);
    entry->Status = CloneString(iStatus != nullptr ? iStatus : "", ctx.run.debug);
    entry->Disposition = CloneString(iDisposition != nullptr ? iDisposition : "", ctx.run.debug);
    entry->Parms = CloneString(iParms != nullptr ? iParms : "", ctx.run.debug);
    entry->inStreamData = iInStreamData;
    return entry;
}

void MergeConcatenation(MemberContext& ctx, RD_DatasetConcatenation* iEntry, SOURCE_REF iFileReference,
                        int32_t iFileLine, int32_t iEndFileLine, BOOLEAN iHasDUMMY,
                        const char* iDatasetName, const char* iStatus, const char* iDisposition,
                        const char* iParms, void* iInStreamData) {
    if (iEntry == nullptr) {
        ReleaseInstreamData(ctx, iInStreamData);
        return;
    }
    iEntry->FileReference = iFileReference;
    iEntry->fileLine = iFileLine;
    iEntry->endFileLine = iEndFileLine;

    if (iInStreamData != nullptr || iHasDUMMY) {
        // In-stream data or DUMMY replace whatever data set the procedure named.
        ReplaceString(ctx, &iEntry->DatasetName, "");
        ReplaceString(ctx, &iEntry->Status, "");
        ReplaceString(ctx, &iEntry->Disposition, "");
        ReplaceString(ctx, &iEntry->Parms, iParms);
        DropInstreamData(ctx, iEntry, iInStreamData);
        iEntry->hasDUMMY = iInStreamData != nullptr ? FALSE : TRUE;
        iEntry->inStreamData = iInStreamData;
        return;
    }

    iEntry->hasDUMMY = FALSE; // an override without DUMMY cancels the procedure's DUMMY
    if (!IsEmpty(iDatasetName)) ReplaceString(ctx, &iEntry->DatasetName, iDatasetName);
    if (!IsEmpty(iStatus)) {
        // A DISP override replaces both, even when it codes no disposition.
        ReplaceString(ctx, &iEntry->Status, iStatus);
        ReplaceString(ctx, &iEntry->Disposition, iDisposition);
    }
    if (!IsEmpty(iParms)) ReplaceString(ctx, &iEntry->Parms, iParms);
    DropInstreamData(ctx, iEntry, nullptr);

    if (ctx.run.mode == 0 && !IsEmpty(iEntry->DatasetName) && !IsEmpty(iEntry->Parms))
        ReplaceString(ctx, &iEntry->Parms, "");
}

void ProcessDDCard(MemberContext& ctx, JCLStatement* iStmt) {
    if (iStmt == nullptr) return;
    DDWorkData work;
    ParseDD(ctx, iStmt, work);
    if (KVRU005() > 4) {
        FreeDDWorkData(ctx, work);
        return;
    }
    if (work.DatasetName[0] == '*')
        ProcessReferbackSyntax(ctx, &work.DatasetName, FALSE);
    // AddDD owns the in-stream data from here on, added or not.
    iStmt->inStreamData = nullptr;
    AddDD(ctx, work.DDName, work.FileReference, work.hasDUMMY, work.DatasetName,
          work.Status, work.Disposition, work.Parms, work.inStreamData, work.fileLine,
          work.endFileLine, iStmt);
    FreeDDWorkData(ctx, work);
}

void MergeProcedureConcatenation(MemberContext& ctx, RD_DatasetConcatenation* iConcat, JCLStatement* iStmt) {
    if (iStmt == nullptr) return;
    DDWorkData work;
    ParseDD(ctx, iStmt, work);
    if (KVRU005() > 4) {
        FreeDDWorkData(ctx, work);
        return;
    }
    iStmt->inStreamData = nullptr; // handed over to the entry
    MergeConcatenation(ctx, iConcat, work.FileReference, work.fileLine, work.endFileLine, work.hasDUMMY,
                       work.DatasetName, work.Status, work.Disposition, work.Parms,
                       work.inStreamData);
    FreeDDWorkData(ctx, work);
}

// The data set name of an overriding or added statement is kept as written: referbacks are
// not resolved here.
void AddProcedureConcatenation(MemberContext& ctx, RD_DDStatement* iDD, JCLStatement* iStmt) {
    if (iDD == nullptr || iStmt == nullptr) return;
    DDWorkData work;
    ParseDD(ctx, iStmt, work);
    if (KVRU005() > 4) {
        FreeDDWorkData(ctx, work);
        return;
    }
    iStmt->inStreamData = nullptr; // handed over to the entry
    RD_DatasetConcatenation* entry = AllocateConcatenation(ctx, 
        work.FileReference, work.fileLine, work.endFileLine, work.hasDUMMY, work.DatasetName,
        work.Status, work.Disposition, work.Parms, work.inStreamData);
    if (entry != nullptr) AddConcatenationToDD(ctx, iDD, entry);
    FreeDDWorkData(ctx, work);
}

} // namespace kvr
