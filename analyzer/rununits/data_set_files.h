// Reading one data set entry of a DD, shared by the step DD reader and the entry reader of
// parameter capture: the entry's in-stream data from a reading copy, or the workstation file
// that stands for its data set, cut into 80-character records as the mainframe sees them.
#ifndef KVR_RUNUNITS_DATA_SET_FILES_H
#define KVR_RUNUNITS_DATA_SET_FILES_H

#include <cstdint>
#include <cstdio>
#include <string>

#include "kvrbase.h"
#include "base/contexts.h"
#include "model/job_model.h"

namespace kvr {

constexpr int32_t kRecordLength = 80;

// One data set entry open for reading. Lives inside a counted block, so it holds no
// object that needs a destructor; it starts zero-filled (nothing open).
struct DataSetEntryInput {
    BOOLEAN IsInstream;       // the entry is read from its in-stream data
    void* inStreamData;       // owned reading copy of the entry's in-stream data
    FILE* InputFile;          // the entry's file when not in-stream
    BOOLEAN IsOpen;           // the entry is open
    int32_t RecordsReadCount; // 0: the next in-stream read is the first
    RD_DatasetConcatenation* CurrentConcat;
    char Buffer[kRecordLength + 2]; // the last file record, NUL-terminated
};

// The workstation file of a data set name: apostrophes dropped, library(member) split, the
// library translated (XlatLibOrSeqDSN). Null when it cannot be opened; outFileSpec then
// names what was tried ("No DSN" for an empty name) for the caller's message.
FILE* OpenParmFile(MemberContext& ctx, const char* iDatasetName, std::string& outFileSpec);

// One record of a text file: at most 81 characters of the current line are read and the
// first 80 kept; a shorter line keeps its line feed (a CR before it is dropped, as text
// mode does on the workstation) and the rest of a longer line is the next record.
BOOLEAN ReadFileRecord(FILE* iFile, char* outBuffer, int32_t* outLength);

// Starts reading the entry's in-stream data; FALSE (reported) when no copy can be made.
BOOLEAN OpenInstreamEntry(MemberContext& ctx, DataSetEntryInput* ioEntry, RD_DatasetConcatenation* iConcat);
// Opens the entry's file; FALSE with outFileSpec as OpenParmFile leaves it.
BOOLEAN OpenFileEntry(MemberContext& ctx, DataSetEntryInput* ioEntry, RD_DatasetConcatenation* iConcat,
                      std::string& outFileSpec);
// The next record of the open entry and its length; FALSE at its end or when nothing is
// open. The record stays valid until the next read of the same entry.
BOOLEAN ReadEntryRecord(DataSetEntryInput* ioEntry, char** outRecord, int32_t* outLength);
// Releases the in-stream copy or closes the file; the entry is then not open.
void CloseEntry(MemberContext& ctx, DataSetEntryInput* ioEntry);

} // namespace kvr

#endif
