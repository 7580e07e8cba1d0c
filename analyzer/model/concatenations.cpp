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

// Replaces an owned string by a clone of iNew (empty for null).
void ReplaceString(MemberContext& ctx, char** ioTarget, const char* iNew) {
    char* copy = CloneString(iNew != nullptr ? iNew : "", ctx.run.debug);
    FreeString(*ioTarget, ctx.run.debug);
    *ioTarget = copy;
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

} // namespace kvr
