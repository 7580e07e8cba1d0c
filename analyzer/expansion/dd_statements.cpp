// DD statement processing: one expanded DD statement becomes the values of a data set entry
// (DUMMY, data set name, DISP status and normal disposition, parameter text, in-stream data),
// which either starts or extends a DD of the job model, or is merged into / appended to a
// procedure step's DD when the statement overrides it.
#include "expansion/dd_statements.h"
#include "base/contexts.h"

#include <cstring>

#include "expansion/statement_dispatch.h"
#include "reader/instream_data.h"
#include "reader/statement_list.h"
#include "reader/unresolved_symbols.h"

namespace kvr {
namespace {

// The values taken from one statement. The texts are owned copies, never null once parsed;
// the DD name points into the statement. inStreamData still belongs to the statement.
struct DDWorkData {
    const char* DDName = "";
    SOURCE_REF FileReference = -1;
    int32_t fileLine = 0;
    int32_t endFileLine = 0;
    BOOLEAN hasDUMMY = FALSE;
    OwnedText DatasetName;
    OwnedText Status;
    OwnedText Disposition;
    OwnedText Parms;
    void* inStreamData = nullptr;
};

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
        work.Status.reset(CloneString("", ctx.run.debug));
        work.Disposition.reset(CloneString("", ctx.run.debug));
        return;
    }
    if (value[0] != '(') {
        work.Status.reset(value); // DISP=SHR: the whole value is the status
        work.Disposition.reset(CloneString("", ctx.run.debug));
        return;
    }
    std::string status;
    std::string disposition;
    ExtractStatusAndDisposition(value, status, disposition);
    FreeString(value, ctx.run.debug);
    work.Status.reset(CloneString(status.c_str(), ctx.run.debug));
    work.Disposition.reset(CloneString(disposition.c_str(), ctx.run.debug));
}

void ParseDD(MemberContext& ctx, JCLStatement* iStmt, DDWorkData& work) {
    work.DDName = iStmt->StatementLabel;
    work.FileReference = JCLStmtFileReference(iStmt);
    work.fileLine = JCLStmtFileLine(iStmt);
    work.endFileLine = JCLStmtEndFileLine(iStmt);
    work.hasDUMMY = CaptureDDPositionalParm_DUMMY(ctx, iStmt);
    work.DatasetName.reset(CaptureDDKeywordParm_DSNAME(ctx, iStmt));
    ReportUnresolvedDataSetSymbols(ctx, work.DatasetName.get(), work.FileReference, work.fileLine);
    work.Parms.reset(CaptureDDParms(ctx, iStmt));
    CaptureDDKeyworkParm_DISP(ctx, iStmt, work);
    work.inStreamData = iStmt->inStreamData;
}

} // namespace

void ProcessDDCard(MemberContext& ctx, JCLStatement* iStmt) {
    if (iStmt == nullptr) return;
    DDWorkData work;
    ParseDD(ctx, iStmt, work);
    if (KVRU005() > 4) return;
    if (work.DatasetName.get()[0] == '*') ProcessReferbackSyntax(ctx, work.DatasetName, FALSE);
    // AddDD owns the in-stream data from here on, added or not.
    iStmt->inStreamData = nullptr;
    AddDD(ctx, work.DDName, work.FileReference, work.hasDUMMY, work.DatasetName.get(),
          work.Status.get(), work.Disposition.get(), work.Parms.get(), work.inStreamData,
          work.fileLine, work.endFileLine, iStmt);
}

void MergeProcedureConcatenation(MemberContext& ctx, RD_DatasetConcatenation* iConcat, JCLStatement* iStmt) {
    if (iStmt == nullptr) return;
    DDWorkData work;
    ParseDD(ctx, iStmt, work);
    if (KVRU005() > 4) return;
    iStmt->inStreamData = nullptr; // handed over to the entry
    MergeConcatenation(ctx, iConcat, work.FileReference, work.fileLine, work.endFileLine,
                       work.hasDUMMY, work.DatasetName.get(), work.Status.get(),
                       work.Disposition.get(), work.Parms.get(), work.inStreamData);
}

// The data set name of an overriding or added statement is kept as written: referbacks are
// not resolved here.
void AddProcedureConcatenation(MemberContext& ctx, RD_DDStatement* iDD, JCLStatement* iStmt) {
    if (iDD == nullptr || iStmt == nullptr) return;
    DDWorkData work;
    ParseDD(ctx, iStmt, work);
    if (KVRU005() > 4) return;
    iStmt->inStreamData = nullptr; // handed over to the entry
    RD_DatasetConcatenation* entry =
        AllocateConcatenation(ctx, work.FileReference, work.fileLine, work.endFileLine,
                              work.hasDUMMY, work.DatasetName.get(), work.Status.get(),
                              work.Disposition.get(), work.Parms.get(), work.inStreamData);
    if (entry != nullptr) AddConcatenationToDD(ctx, iDD, entry);
}

} // namespace kvr
