// Symbolic parameters: the stack of symbol scopes (SET values, procedure-call overrides,
// PROC defaults) held in the member's context, and the substitution of &NAME in the text
// of a card or a statement.
#ifndef KVR_READER_SYMBOLS_H
#define KVR_READER_SYMBOLS_H

#include "base/contexts.h"

namespace kvr {

constexpr int32_t kSymbolValueSize = 256; // values are at most 255 characters

// Opens a scope on top (it becomes the update scope); FALSE, reported, without memory.
BOOLEAN BeginSymbolScope(MemberContext& ctx);
// Opens the read-time scope of a procedure call, which holds its EXEC values while the
// override statements after the EXEC are read. The system symbols do not answer in it: the
// procedure's defaults, known only once the call is walked, win over them, and the walk
// substitutes those statements again with the defaults in scope.
BOOLEAN BeginOverrideReadScope(MemberContext& ctx);
// Closes the innermost scope; FALSE when there is none.
BOOLEAN EndSymbolScope(MemberContext& ctx);
// Makes the scope below the innermost one the update scope; FALSE when there is none.
BOOLEAN EndSymbolScopeForUpdate(MemberContext& ctx);
void SetScopedSymbolValue(MemberContext& ctx, const char* NameArg, const char* ValueArg,
                          BOOLEAN replace);
void SetScopedSymbolDefaultValue(MemberContext& ctx, const char* NameArg, const char* ValueArg);
// 1 and the value (ValueArg holds kSymbolValueSize characters), or 0 with an empty value.
// The scopes answer from the innermost outwards, then the run's system symbols.
int16_t GetScopedSymbolValue(MemberContext& ctx, const char* NameArg, char* ValueArg);

// Scans iStmtParmsLength characters and appends the substituted text to outParmBuff
// (kOperandAreaSize bytes, zero-terminated). inApost: the text continues an apostrophe
// string begun on an earlier card.
void SubstituteSymbolics(MemberContext& ctx, const char* iStmtParms, int32_t iStmtParmsLength,
                         char* outParmBuff, int32_t* symbolCount, int32_t* symbolsReplacedCount,
                         SOURCE_REF FileReference, int32_t fileLine, int32_t inApost);

} // namespace kvr

#endif
