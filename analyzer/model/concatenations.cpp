// Data set entries of a DD's concatenation: made from the values of a statement, merged
// with the values of an overriding statement, and the status and normal disposition taken
// from a DISP value.
#include <cstring>
#include <string>

#include "base/diagnostics.h"
#include "base/text.h"
#include "model/job_model.h"
#include "reader/instream_data.h"

namespace kvr {
namespace {

// The DISP working copy holds this many characters of the value.
constexpr size_t kDispWorkLength = 31;

// Replaces an owned text by a copy of iNew (empty for null), which may be part of it.
void ReplaceString(OwnedText& ioTarget, const char* iNew) {
    ioTarget = CopyTextOrEmpty(iNew);
}

// Gives the entry the in-stream data iData (or none); what it held before is released,
// unless it is that same data.
void ReplaceInstreamData(RD_DatasetConcatenation* ioEntry, void* iData) {
    if (ioEntry->inStreamData.get() != iData) ioEntry->inStreamData.reset(iData);
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
    auto* entry = NewRecord<RD_DatasetConcatenation>("AllocateConcatenation");
    if (entry == nullptr) {
        reportMemoryAllocationError(ctx);
        // The entry takes the data over in every case, so it must not be lost here.
        DeleteInstreamSpool(iInStreamData);
        return nullptr;
    }
    entry->FileReference = iFileReference;
    entry->fileLine = iFileLine;
    entry->endFileLine = iEndFileLine;
    entry->hasDUMMY = iHasDUMMY;
    entry->DatasetName.reset(
        CloneString(iDatasetName != nullptr ? iDatasetName : "", ctx.run.debug));
    entry->Status.reset(CloneString(iStatus != nullptr ? iStatus : "", ctx.run.debug));
    entry->Disposition.reset(
        CloneString(iDisposition != nullptr ? iDisposition : "", ctx.run.debug));
    entry->Parms.reset(CloneString(iParms != nullptr ? iParms : "", ctx.run.debug));
    entry->inStreamData.reset(iInStreamData);
    return entry;
}

void MergeConcatenation(MemberContext& ctx, RD_DatasetConcatenation* iEntry, SOURCE_REF iFileReference,
                        int32_t iFileLine, int32_t iEndFileLine, BOOLEAN iHasDUMMY,
                        const char* iDatasetName, const char* iStatus, const char* iDisposition,
                        const char* iParms, void* iInStreamData) {
    if (iEntry == nullptr) {
        DeleteInstreamSpool(iInStreamData);
        return;
    }
    iEntry->FileReference = iFileReference;
    iEntry->fileLine = iFileLine;
    iEntry->endFileLine = iEndFileLine;

    if (iInStreamData != nullptr || iHasDUMMY) {
        // In-stream data or DUMMY replace whatever data set the procedure named.
        ReplaceString(iEntry->DatasetName, "");
        ReplaceString(iEntry->Status, "");
        ReplaceString(iEntry->Disposition, "");
        ReplaceString(iEntry->Parms, iParms);
        ReplaceInstreamData(iEntry, iInStreamData);
        iEntry->hasDUMMY = iInStreamData != nullptr ? FALSE : TRUE;
        return;
    }

    iEntry->hasDUMMY = FALSE; // an override without DUMMY cancels the procedure's DUMMY
    if (!IsEmpty(iDatasetName)) ReplaceString(iEntry->DatasetName, iDatasetName);
    if (!IsEmpty(iStatus)) {
        // A DISP override replaces both, even when it codes no disposition.
        ReplaceString(iEntry->Status, iStatus);
        ReplaceString(iEntry->Disposition, iDisposition);
    }
    if (!IsEmpty(iParms)) ReplaceString(iEntry->Parms, iParms);
    iEntry->inStreamData.reset();

    if (ctx.run.mode == 0 && !IsEmpty(iEntry->DatasetName.get()) && !IsEmpty(iEntry->Parms.get()))
        ReplaceString(iEntry->Parms, "");
}

} // namespace kvr
