// In-stream data: which cards end the data of a DD * or DD DATA statement, and the spool
// that keeps the data cards with the statement.
#ifndef KVR_READER_INSTREAM_DATA_H
#define KVR_READER_INSTREAM_DATA_H

#include "reader/jcl_statement.h"

namespace kvr {

struct RD_InstreamData {
    void* SourceLineList; // list of owned SourceLine copies keyed by their own text
    SOURCE_REF FileReference;
    int32_t fileLine;
    int32_t endFileLine;
    int32_t RecordCount;
};

void BypassInstreamData(JCLStatement* iStmt, const char* jesVersion, int16_t iProcessingMode,
                        int32_t debug);
// Delimiter: 16 zero-filled characters from the caller.
BOOLEAN TestForInstreamDD(JCLStatement* Stmt, BOOLEAN* usesSlashSlash, BOOLEAN* usesSlashStar,
                          BOOLEAN* usesDLM, char* Delimiter, const char* jesVersion,
                          int16_t iProcessingMode, int32_t debug);
BOOLEAN CheckForDLM(JCLStatement* Stmt, char* Delimiter, int16_t iProcessingMode, int32_t debug);
void ExtractDelimiter(const char* Source, char* Target, JCLStatement* iStmt,
                      int16_t iProcessingMode, int32_t debug);
// 1 success, 0 failure.
int16_t AddInstreamDataToStmt(JCLStatement* iStmt, const SourceLine* iInRec, int32_t debug);
int16_t CreateInstreamSpool(void** outStream, int32_t debug);
void DeleteInstreamSpool(void* iStream, int32_t debug);
int16_t CopyInstreamSpool(void* iStream, void** outStream, int32_t debug);
SourceLine* CloneSourceLine(const SourceLine* Old, int32_t debug);
SOURCE_REF getInStreamDataFileReference(void* spool);
int32_t getInStreamDataFileLine(void* spool);
int32_t getInStreamDataEndFileLine(void* spool);
// The text (not a copy) and length of the first or next card; FALSE (null, 0) at the end.
BOOLEAN ReadFirstInstreamSpool(void* InstreamArg, char** TextArg, int32_t* TextLengthArg);
BOOLEAN ReadNextInstreamSpool(void* InstreamArg, char** TextArg, int32_t* TextLengthArg);

} // namespace kvr

#endif
