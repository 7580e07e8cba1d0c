// The deck processor: a member's job statement list is walked statement by statement,
// procedure calls are expanded in place (nested up to 16 deep), INCLUDE members are pushed
// onto the walk, and the result is the member's expanded deck.
#ifndef KVR_EXPANSION_DECK_PROCESSOR_H
#define KVR_EXPANSION_DECK_PROCESSOR_H

#include "reader/statement_list.h"

namespace kvr {

constexpr int32_t kMaxStackDepth = 16;

// One statement-list walk: a stack of up to 16 statement cursors, the top read first.
struct RD_InputContext {
    void* InputCursor[kMaxStackDepth];
    StatementList* InputList[kMaxStackDepth]; // the list each cursor reads
    int32_t ListIndex;
};

// TRUE when the member was expanded to its end with the maximum severity at most 4.
BOOLEAN ProcessJclDeck(void* arrayJclDeck, BOOLEAN ignoreJCLLIB, const char* iSiteName,
                       const char* jesVersion, int16_t iProcessingMode, BOOLEAN iFormatXML,
                       int32_t debug);
void ProcessProcInvocation(void* arrayJclDeck, JCLStatement* iStmt, const char* iSiteName,
                           const char* jesVersion, int16_t iProcessingMode, int32_t debug);
void ProcessIncludeCard(void* arrayJclDeck, JCLStatement* iStmt, RD_InputContext* Context,
                        const char* jesVersion, int16_t iProcessingMode, int32_t debug);
// The procedure an EXEC calls: its first positional parameter (from the sixth character
// on when it is a keyword parameter such as PROC=name). Points into the statement.
const char* QueryProcedureName(JCLStatement* iStmt, int16_t iProcessingMode, int32_t debug);

BOOLEAN BeginInputContext(RD_InputContext** outContext, StatementList* iStmtList,
                          int16_t iProcessingMode, int32_t debug);
BOOLEAN AddStmtListToContext(RD_InputContext* Context, StatementList* iStmtList,
                             int16_t iProcessingMode, int32_t debug);
// True when the context is reading iStmtList already (an INCLUDE member including itself).
bool ContextReadsList(const RD_InputContext* Context, const StatementList* iStmtList);
BOOLEAN GetNextStmt(RD_InputContext* Context, JCLStatement** outStmt, int32_t debug);
void DeleteInputContext(RD_InputContext* Context, int32_t debug);

BOOLEAN PushContext(RD_InputContext* Context, int16_t iProcessingMode, int32_t debug);
BOOLEAN PopContext(int16_t iProcessingMode);
RD_InputContext* QueryContext(int16_t iProcessingMode);
BOOLEAN PushStepName(const char* StepName, int16_t iProcessingMode, int32_t debug);
const char* QueryStepName(int16_t iProcessingMode);
BOOLEAN PopStepName(int16_t iProcessingMode, int32_t debug);
void InitializeContextStack(int32_t debug);
void InitializeStepNameStack(int32_t debug);

// Debug listing of the expanded deck on standard output.
void DumpJclDeckToStdout(void* arrayJclDeck, int32_t debug);

} // namespace kvr

#endif
