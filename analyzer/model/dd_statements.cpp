// DD statement processing: one expanded DD statement becomes the values of a data set entry
// (DUMMY, data set name, DISP status and normal disposition, parameter text, in-stream data),
// which either starts or extends a DD of the job model, or is merged into / appended to a
// procedure step's DD when the statement overrides it.
#include "model/dd_statements.h"

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

void FreeDDWorkData(DDWorkData& work, int32_t debug) {
    FreeString(work.DatasetName, debug);
    FreeString(work.Status, debug);
    FreeString(work.Disposition, debug);
    FreeString(work.Parms, debug);
    work.DatasetName = work.Status = work.Disposition = work.Parms = nullptr;
}

// Replaces an owned string by a clone of iNew (empty for null).
void ReplaceString(char** ioTarget, const char* iNew, int32_t debug) {
    char* copy = CloneString(iNew != nullptr ? iNew : "", debug);
    FreeString(*ioTarget, debug);
    *ioTarget = copy;
}

bool IsEmpty(const char* iText) {
    return iText == nullptr || iText[0] == '\0';
}

// The value of a keyword parameter as an owned clone, or null when it is not coded.
char* CaptureKeywordValue(JCLStatement* iStmt, const char* iKeyword, int16_t iProcessingMode,
                          int32_t debug) {
    char* parm = nullptr;
    if (!JCLStatementKeywordParm(iStmt, iKeyword, &parm, iProcessingMode, debug)) return nullptr;
    return CopyParmValue(iStmt, parm, iProcessingMode, debug);
}

BOOLEAN CaptureDDPositionalParm_DUMMY(JCLStatement* iStmt, int16_t iProcessingMode, int32_t debug) {
    char* parm = nullptr;
    if (!JCLStatementPositionalParm(iStmt, 1, &parm, iProcessingMode, debug)) return FALSE;
    return parm != nullptr && std::strcmp(parm, "DUMMY") == 0 ? TRUE : FALSE;
}

// DSN wins over DSNAME; NULLFILE stands for no data set.
char* CaptureDDKeywordParm_DSNAME(JCLStatement* iStmt, int16_t iProcessingMode, int32_t debug) {
    char* value = CaptureKeywordValue(iStmt, "DSN", iProcessingMode, debug);
    if (value == nullptr) value = CaptureKeywordValue(iStmt, "DSNAME", iProcessingMode, debug);
    if (value == nullptr || std::strcmp(value, "NULLFILE") == 0) {
        FreeString(value, debug);
        return CloneString("", debug);
    }
    return value;
}

char* CaptureDDParms(JCLStatement* iStmt, int32_t debug) {
    char* text = nullptr;
    if (!JCLStatementParmText(iStmt, &text) || text == nullptr) return CloneString("", debug);
    return CloneString(text, debug);
}

void CaptureDDKeyworkParm_DISP(JCLStatement* iStmt, DDWorkData& work, int16_t iProcessingMode,
                               int32_t debug) {
    char* value = CaptureKeywordValue(iStmt, "DISP", iProcessingMode, debug);
    if (value == nullptr) {
        work.Status = CloneString("", debug);
        work.Disposition = CloneString("", debug);
        return;
    }
    if (value[0] != '(') {
        work.Status = value; // DISP=SHR: the whole value is the status
        work.Disposition = CloneString("", debug);
        return;
    }
    std::string status;
    std::string disposition;
    ExtractStatusAndDisposition(value, status, disposition);
    FreeString(value, debug);
    work.Status = CloneString(status.c_str(), debug);
    work.Disposition = CloneString(disposition.c_str(), debug);
}

void ParseDD(JCLStatement* iStmt, DDWorkData& work, int16_t iProcessingMode, int32_t debug) {
    work.DDName = iStmt->StatementLabel;
    work.FileReference = JCLStmtFileReference(iStmt);
    work.fileLine = JCLStmtFileLine(iStmt);
    work.endFileLine = JCLStmtEndFileLine(iStmt);
    work.hasDUMMY = CaptureDDPositionalParm_DUMMY(iStmt, iProcessingMode, debug);
    work.DatasetName = CaptureDDKeywordParm_DSNAME(iStmt, iProcessingMode, debug);
    work.Parms = CaptureDDParms(iStmt, debug);
    CaptureDDKeyworkParm_DISP(iStmt, work, iProcessingMode, debug);
    work.inStreamData = iStmt->inStreamData;
}

// Releases an entry's in-stream data unless it is the data about to take its place.
void ReleaseInstreamData(void* iData, int32_t debug) {
    if (iData != nullptr) DeleteInstreamSpool(iData, debug);
}

void DropInstreamData(RD_DatasetConcatenation* ioEntry, void* iKeep, int32_t debug) {
    if (ioEntry->inStreamData != iKeep) ReleaseInstreamData(ioEntry->inStreamData, debug);
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

RD_DatasetConcatenation* AllocateConcatenation(SOURCE_REF iFileReference, int32_t iFileLine,
                                               int32_t iEndFileLine, BOOLEAN iHasDUMMY,
                                               const char* iDatasetName, const char* iStatus,
                                               const char* iDisposition, const char* iParms,
                                               void* iInStreamData, int16_t iProcessingMode,
                                               int32_t debug) {
    void* block = nullptr;
    if (!CreateBlockWithDebug(&block, sizeof(RD_DatasetConcatenation), "AllocateConcatenation",
                              debug)) {
        reportMemoryAllocationError(iProcessingMode);
        // The entry takes the data over in every case, so it must not be lost here.
        ReleaseInstreamData(iInStreamData, debug);
        return nullptr;
    }
    auto* entry = static_cast<RD_DatasetConcatenation*>(block);
    entry->FileReference = iFileReference;
    entry->fileLine = iFileLine;
    entry->endFileLine = iEndFileLine;
    entry->hasDUMMY = iHasDUMMY;
    entry->DatasetName = CloneString(iDatasetName != nullptr ? iDatasetName : "", debug);
    entry->Status = CloneString(iStatus != nullptr ? iStatus : "", debug);
    entry->Disposition = CloneString(iDisposition != nullptr ? iDisposition : "", debug);
    entry->Parms = CloneString(iParms != nullptr ? iParms : "", debug);
    entry->inStreamData = iInStreamData;
    return entry;
}

void MergeConcatenation(RD_DatasetConcatenation* iEntry, SOURCE_REF iFileReference,
                        int32_t iFileLine, int32_t iEndFileLine, BOOLEAN iHasDUMMY,
                        const char* iDatasetName, const char* iStatus, const char* iDisposition,
                        const char* iParms, void* iInStreamData, int16_t iProcessingMode,
                        int32_t debug) {
    if (iEntry == nullptr) {
        ReleaseInstreamData(iInStreamData, debug);
        return;
    }
    iEntry->FileReference = iFileReference;
    iEntry->fileLine = iFileLine;
    iEntry->endFileLine = iEndFileLine;

    if (iInStreamData != nullptr || iHasDUMMY) {
        // In-stream data or DUMMY replace whatever data set the procedure named.
        ReplaceString(&iEntry->DatasetName, "", debug);
        ReplaceString(&iEntry->Status, "", debug);
        ReplaceString(&iEntry->Disposition, "", debug);
        ReplaceString(&iEntry->Parms, iParms, debug);
        DropInstreamData(iEntry, iInStreamData, debug);
        iEntry->hasDUMMY = iInStreamData != nullptr ? FALSE : TRUE;
        iEntry->inStreamData = iInStreamData;
        return;
    }

    iEntry->hasDUMMY = FALSE; // an override without DUMMY cancels the procedure's DUMMY
    if (!IsEmpty(iDatasetName)) ReplaceString(&iEntry->DatasetName, iDatasetName, debug);
    if (!IsEmpty(iStatus)) {
        // A DISP override replaces both, even when it codes no disposition.
        ReplaceString(&iEntry->Status, iStatus, debug);
        ReplaceString(&iEntry->Disposition, iDisposition, debug);
    }
    if (!IsEmpty(iParms)) ReplaceString(&iEntry->Parms, iParms, debug);
    DropInstreamData(iEntry, nullptr, debug);

    if (iProcessingMode == 0 && !IsEmpty(iEntry->DatasetName) && !IsEmpty(iEntry->Parms))
        ReplaceString(&iEntry->Parms, "", debug);
}

void ProcessDDCard(void* arrayJclDeck, JCLStatement* iStmt, const char* iSiteName,
                   int16_t iProcessingMode, int32_t debug) {
    if (iStmt == nullptr) return;
    DDWorkData work;
    ParseDD(iStmt, work, iProcessingMode, debug);
    if (KVRU005() > 4) {
        FreeDDWorkData(work, debug);
        return;
    }
    if (work.DatasetName[0] == '*')
        ProcessReferbackSyntax(&work.DatasetName, FALSE, iProcessingMode, debug);
    // AddDD owns the in-stream data from here on, added or not.
    iStmt->inStreamData = nullptr;
    AddDD(arrayJclDeck, work.DDName, work.FileReference, work.hasDUMMY, work.DatasetName,
          work.Status, work.Disposition, work.Parms, work.inStreamData, work.fileLine,
          work.endFileLine, iSiteName, iStmt, iProcessingMode, debug);
    FreeDDWorkData(work, debug);
}

void MergeProcedureConcatenation(RD_DatasetConcatenation* iConcat, JCLStatement* iStmt,
                                 int16_t iProcessingMode, int32_t debug) {
    if (iStmt == nullptr) return;
    DDWorkData work;
    ParseDD(iStmt, work, iProcessingMode, debug);
    if (KVRU005() > 4) {
        FreeDDWorkData(work, debug);
        return;
    }
    iStmt->inStreamData = nullptr; // handed over to the entry
    MergeConcatenation(iConcat, work.FileReference, work.fileLine, work.endFileLine, work.hasDUMMY,
                       work.DatasetName, work.Status, work.Disposition, work.Parms,
                       work.inStreamData, iProcessingMode, debug);
    FreeDDWorkData(work, debug);
}

// The data set name of an overriding or added statement is kept as written: referbacks are
// not resolved here.
void AddProcedureConcatenation(RD_DDStatement* iDD, JCLStatement* iStmt, int16_t iProcessingMode,
                               int32_t debug) {
    if (iDD == nullptr || iStmt == nullptr) return;
    DDWorkData work;
    ParseDD(iStmt, work, iProcessingMode, debug);
    if (KVRU005() > 4) {
        FreeDDWorkData(work, debug);
        return;
    }
    iStmt->inStreamData = nullptr; // handed over to the entry
    RD_DatasetConcatenation* entry = AllocateConcatenation(
        work.FileReference, work.fileLine, work.endFileLine, work.hasDUMMY, work.DatasetName,
        work.Status, work.Disposition, work.Parms, work.inStreamData, iProcessingMode, debug);
    if (entry != nullptr) AddConcatenationToDD(iDD, entry, entry->DatasetName, debug);
    FreeDDWorkData(work, debug);
}

} // namespace kvr
