// The entry reader of parameter capture: the records of one data set entry of a selected
// DD, for the import writer to copy into DD data records. In Dravix mode in-stream data are
// announced with a "DD DATALINES" record naming where they stand in the member.
#include <cstdio>
#include <cstring>
#include <string>

#include "driver/run_settings.h"
#include "reader/instream_data.h"
#include "reader/jcl_statement.h"
#include "rununits/data_set_files.h"
#include "rununits/parameter_capture.h"

namespace kvr {
namespace {

DataSetEntryInput* AllocateControlBlock(int32_t debug) {
    void* block = nullptr;
    if (!CreateBlockWithDebug(&block, sizeof(DataSetEntryInput), "OpenConcatenationData", debug))
        return nullptr;
    std::memset(block, 0, sizeof(DataSetEntryInput));
    return static_cast<DataSetEntryInput*>(block);
}

void ReportEntryNotOpened(const std::string& iFileSpec, int16_t iProcessingMode) {
    const uint32_t number = MessageFor(iProcessingMode, 1444, 3101);
    KVRWriteMessageWithStrings(number, iFileSpec.c_str(), nullptr, nullptr, nullptr);
    KVR_Write_MSG_RecordWithString("JCL", MsgProgramId(iProcessingMode),
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

BOOLEAN OpenConcatenationData(RD_DatasetConcatenation* ConcatArg, void** Control,
                              int16_t iProcessingMode, int32_t debug) {
    if (Control == nullptr) return FALSE;
    *Control = nullptr;
    DataSetEntryInput* entry = AllocateControlBlock(debug);
    if (entry == nullptr) {
        reportMemoryAllocationError(iProcessingMode);
        return FALSE;
    }
    *Control = entry;
    if (ConcatArg == nullptr) return FALSE;
    if (ConcatArg->inStreamData != nullptr)
        return OpenInstreamEntry(entry, ConcatArg, iProcessingMode, debug);
    std::string fileSpec;
    if (OpenFileEntry(entry, ConcatArg, fileSpec, iProcessingMode)) return TRUE;
    ReportEntryNotOpened(fileSpec, iProcessingMode);
    return FALSE;
}

BOOLEAN ReadConcatenationData(void* iControl, char** Record, int32_t* RecordLength,
                              int16_t iProcessingMode) {
    auto* entry = static_cast<DataSetEntryInput*>(iControl);
    if (entry == nullptr || !entry->IsOpen) return FALSE;
    if (entry->IsInstream && entry->RecordsReadCount == 0 && iProcessingMode == kModeDravix)
        PutDataLinesRecord(entry->inStreamData);
    return ReadEntryRecord(entry, Record, RecordLength);
}

BOOLEAN CloseConcatenationData(void* iControl, int32_t debug) {
    auto* entry = static_cast<DataSetEntryInput*>(iControl);
    if (entry == nullptr) return TRUE;
    CloseEntry(entry, debug);
    FreeBlockWithDebug(entry, "CloseConcatenationData", debug);
    return TRUE;
}

} // namespace kvr
