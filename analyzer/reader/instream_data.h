// In-stream data: which cards end the data of a DD * or DD DATA statement, and the spool
// that keeps the data cards with the statement.
#ifndef KVR_READER_INSTREAM_DATA_H
#define KVR_READER_INSTREAM_DATA_H

#include "reader/jcl_statement.h"
#include "base/contexts.h"

namespace kvr {

struct RD_InstreamData {
    void* SourceLineList; // list of owned SourceLine copies keyed by their own text
    SOURCE_REF FileReference;
    int32_t fileLine;
    int32_t endFileLine;
    int32_t RecordCount;
};

void BypassInstreamData(MemberContext& ctx, JCLStatement* iStmt);
// Delimiter: 16 zero-filled characters from the caller.
BOOLEAN TestForInstreamDD(MemberContext& ctx, JCLStatement* Stmt, BOOLEAN* usesSlashSlash, BOOLEAN* usesSlashStar,
                          BOOLEAN* usesDLM, char* Delimiter);
BOOLEAN CheckForDLM(MemberContext& ctx, JCLStatement* Stmt, char* Delimiter);
void ExtractDelimiter(MemberContext& ctx, const char* Source, char* Target, JCLStatement* iStmt);
// 1 success, 0 failure.
int16_t AddInstreamDataToStmt(MemberContext& ctx, JCLStatement* iStmt, const SourceLine* iInRec);
int16_t CreateInstreamSpool(MemberContext& ctx, void** outStream);
void DeleteInstreamSpool(void* iStream);
struct SpoolRelease {
    void operator()(void* spool) const { DeleteInstreamSpool(spool); }
};
// In-stream data held by its owner, given back with DeleteInstreamSpool.
using OwnedSpool = std::unique_ptr<void, SpoolRelease>;
int16_t CopyInstreamSpool(MemberContext& ctx, void* iStream, void** outStream);
SourceLine* CloneSourceLine(MemberContext& ctx, const SourceLine* Old);
SOURCE_REF getInStreamDataFileReference(void* spool);
int32_t getInStreamDataFileLine(void* spool);
int32_t getInStreamDataEndFileLine(void* spool);
// The text (not a copy) and length of the first or next card; FALSE (null, 0) at the end.
BOOLEAN ReadFirstInstreamSpool(void* InstreamArg, char** TextArg, int32_t* TextLengthArg);
BOOLEAN ReadNextInstreamSpool(void* InstreamArg, char** TextArg, int32_t* TextLengthArg);

} // namespace kvr

#endif
