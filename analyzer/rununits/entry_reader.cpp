// The entry reader of parameter capture: the records of one data set entry of a selected
// DD, for the import writer to copy into DD data records. In Dravix mode in-stream data are
// announced with a "DD DATALINES" record naming where they stand in the member.
#include <cstdio>
#include <cstring>
#include <string>

#include "base/contexts.h"
#include "reader/instream_data.h"
#include "reader/jcl_statement.h"
#include "rununits/data_set_files.h"
#include "rununits/parameter_capture.h"

namespace kvr {
namespace {

DataSetEntryInput* AllocateControlBlock(MemberContext& ctx) {
    void* block = nullptr;
    if (!CreateBlockWithDebug(&block, sizeof(DataSetEntryInput), "OpenConcatenationData", ctx.run.debug))
        return nullptr;
    std::memset(block, 0, sizeof(DataSetEntryInput));
    return static_cast<DataSetEntryInput*>(block);
}

void ReportEntryNotOpened(MemberContext& ctx, const std::string& iFileSpec) {
    const uint32_t number = MessageFor(ctx, 1444, 3101);
    KVRWriteMessageWithStrings(number, iFileSpec.c_str(), nullptr, nullptr, nullptr);
    KVR_Write_MSG_RecordWithString("JCL", MsgProgramId(ctx),
                                   static_cast<int32_t>(number), iFileSpec.c_str());
}

// Member reference (counted from 1 in the import file), first and last line of the data.
void PutDataLinesRecord(void* iSpool) {
    char record[80] = {};
    std::snprintf(record, sizeof record, "DD DATALINES %i %i %i",
                  static_cast<int>(getInStreamDataFileReference(iSpool) + 1),
                  static_cast<int>(getInStreamDataFileLine(iSpool)),
                  static_cast<int>(getInStreamDataEndFileLine(iSpool)));
    KVR_PutImportRecord(record);
}

} // namespace

BOOLEAN OpenConcatenationData(MemberContext& ctx, RD_DatasetConcatenation* ConcatArg, void** Control) {
    if (Control == nullptr) return FALSE;
    *Control = nullptr;
    DataSetEntryInput* entry = AllocateControlBlock(ctx);
    if (entry == nullptr) {
        reportMemoryAllocationError(ctx);
        return FALSE;
    }
    *Control = entry;
    if (ConcatArg == nullptr) return FALSE;
    if (ConcatArg->inStreamData.get() != nullptr) return OpenInstreamEntry(ctx, entry, ConcatArg);
    std::string fileSpec;
    if (OpenFileEntry(ctx, entry, ConcatArg, fileSpec)) return TRUE;
    ReportEntryNotOpened(ctx, fileSpec);
    return FALSE;
}

BOOLEAN ReadConcatenationData(MemberContext& ctx, void* iControl, char** Record, int32_t* RecordLength) {
    auto* entry = static_cast<DataSetEntryInput*>(iControl);
    if (entry == nullptr || !entry->IsOpen) return FALSE;
    if (entry->IsInstream && entry->RecordsReadCount == 0 && ctx.run.mode == kModeDravix)
        PutDataLinesRecord(entry->inStreamData);
    return ReadEntryRecord(entry, Record, RecordLength);
}

BOOLEAN CloseConcatenationData(MemberContext& ctx, void* iControl) {
    auto* entry = static_cast<DataSetEntryInput*>(iControl);
    if (entry == nullptr) return TRUE;
    CloseEntry(ctx, entry);
    FreeBlockWithDebug(entry, "CloseConcatenationData", ctx.run.debug);
    return TRUE;
}

} // namespace kvr
