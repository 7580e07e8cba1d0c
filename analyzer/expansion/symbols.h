// Symbolic parameters: the stack of symbol scopes (SET values, procedure-call overrides,
// PROC defaults) and the substitution of &NAME in statement text.
#ifndef KVR_EXPANSION_SYMBOLS_H
#define KVR_EXPANSION_SYMBOLS_H

#include "reader/jcl_statement.h"

namespace kvr {

constexpr int32_t kSymbolValueSize = 256; // values are at most 255 characters

BOOLEAN BeginSymbolScope(int16_t iProcessingMode, int32_t debug);
BOOLEAN EndSymbolScope(int32_t debug);
BOOLEAN EndSymbolScopeForUpdate();
void SetScopedSymbolValue(const char* NameArg, const char* ValueArg, BOOLEAN replace,
                          int32_t debug);
void SetScopedSymbolDefaultValue(const char* NameArg, const char* ValueArg, int32_t debug);
// 1 and the value (ValueArg holds kSymbolValueSize characters), or 0 with an empty value.
int16_t GetScopedSymbolValue(const char* NameArg, char* ValueArg);
void InitializeScopedSymbolData(int32_t debug);

void ProcessSetCard(JCLStatement* iStmt, int16_t iProcessingMode, int32_t debug);
// 1 with outStmt a substituted copy (owned by the caller), 0 on failure.
int16_t SubstituteStmtSymbolics(JCLStatement* iStmt, JCLStatement** outStmt,
                                int16_t iProcessingMode, int32_t debug);
// Scans iStmtParmsLength characters and appends the substituted text to outParmBuff
// (kOperandAreaSize bytes, zero-terminated). inApost: the text continues an apostrophe
// string begun on an earlier card.
void SubstituteSymbolics(const char* iStmtParms, int32_t iStmtParmsLength, char* outParmBuff,
                         int32_t* symbolCount, int32_t* symbolsReplacedCount,
                         SOURCE_REF FileReference, int32_t fileLine, int32_t inApost,
                         int16_t iProcessingMode, int32_t debug);

} // namespace kvr

#endif
