/*
 * kvrbase.h - the exported C interface of the common services library kvrbase.
 *
 * kvr4000 and the other analyzers reach kvrbase only through the operations declared
 * here; their names, argument order and results are a contract.
 *
 * Ownership: a pointer handed in stays the caller's; a pointer handed out points into
 * storage that the library keeps (valid until the next call that says it changes it),
 * unless the operation says the caller owns it. Blocks taken with CreateBlock and lists,
 * cursors and tables made by the Create operations belong to the caller, who returns them
 * with the matching Free/Delete operation. Every release operation accepts null.
 *
 * Texts are NUL-terminated. BOOLEAN is one byte (FALSE 0, TRUE 1). Documented "long"
 * arguments and 32-bit values are int32_t; 16-bit values are int16_t/uint16_t.
 */
#ifndef KVRBASE_H
#define KVRBASE_H

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#if defined(KVR_BUILDING_KVRBASE)
#define KVR_API __attribute__((visibility("default")))
#else
#define KVR_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef unsigned char BOOLEAN;
#ifndef FALSE
#define FALSE 0
#endif
#ifndef TRUE
#define TRUE 1
#endif
#define RD_FAIL 0
#define RD_SUCCEED 1

/* ------------------------------------------------------------------ memory blocks */

/* Allocates BlockSz bytes (contents not initialised) and stores the address through
 * BlockPtr. Returns 1 and counts the block, or 0 with a null address when memory is out. */
KVR_API int32_t CreateBlock(void** BlockPtr, size_t BlockSz);
/* CreateBlock; when debug > 1 a trace line with the running count and iString is printed. */
KVR_API int32_t CreateBlockWithDebug(void** BlockPtr, size_t BlockSz, const char* iString,
                                     int32_t debug);
/* Releases a block and counts it; null is ignored and not counted. */
KVR_API void FreeBlock(void* BlockPtr);
KVR_API void FreeBlockWithDebug(void* BlockPtr, const char* iString, int32_t debug);
/* The process-wide numbers of blocks created and freed. */
KVR_API void QueryBlockStatistics(int32_t* CreateCount, int32_t* FreeCount);

/* ------------------------------------------------------------------ lists and cursors */

/* Lists are handed around as untyped handles. Items point to caller data and to the
 * caller's key text (not copied: the caller keeps it alive). Results are 1 for success or
 * found and 0 otherwise. */
typedef struct RD_LinkedListForInts RD_LinkedListForInts;

KVR_API int32_t CreateList(void** ReturnPtr, int32_t debug);
KVR_API int32_t CreateListWithIntKey(void** ReturnPtr, int32_t debug);
KVR_API int32_t CreateListForInts(RD_LinkedListForInts** outList, int32_t debug);
KVR_API int32_t AddItemToList(void* ListHdr, void* ItemData, const char* Key, int32_t debug);
KVR_API int32_t AddItemToListWithIntKey(void* iList, void* iItemData, int32_t iItemKey,
                                        int32_t debug);
KVR_API int32_t AddIntToList(RD_LinkedListForInts* iList, int32_t iItemKey, int32_t debug);

/* Built-in iteration: each moves the list's current item and sets *outItemData to the data
 * of the item it lands on, or to null when it returns 0. */
KVR_API int32_t FindFirstItem(void* ListHdr, void** outItemData);
KVR_API int32_t FindLastItem(void* ListHdr, void** outItemData);
KVR_API int32_t GetNextItem(void* ListHdr, void** outItemData);
KVR_API int32_t GetPreviousItem(void* ListHdr, void** outItemData);
KVR_API int32_t GetCurrentItem(void* iList, void** outItemData);
KVR_API int32_t FindItemWithKey(void* ListHdr, const char* iSearchKey, void** outItemData);
KVR_API int32_t FindItemWithIntKey(void* iList, int32_t iSearchKey, void** outItemData);
KVR_API int32_t FindIntItem(RD_LinkedListForInts* iList, int32_t iSearchKey);
/* Stops on the first item whose key, read as a pattern ("*" any run, "?" any one
 * character), matches iSearchKey; the data is read with GetCurrentItem. */
KVR_API int32_t MatchItemWithKey(void* ListHdr, const char* iSearchKey);

/* Unlinks the current item, returns its data, frees the item; the predecessor becomes
 * current (none when the head was removed). */
KVR_API int32_t UnlinkCurrentItem(void* ListHdr, void** outItemData, int32_t debug);
KVR_API int32_t UnlinkCurrentItemAndReturnKey(void* ListHdr, void** outItemData, void** outItemKey,
                                              int32_t debug);
/* Frees every item and its data (each datum as one block), then the list. */
KVR_API void FreeList(void* iList, int32_t debug);
KVR_API void FreeIntList(RD_LinkedListForInts* iList, int32_t debug);

/* Counting keeps the current item where it was. */
KVR_API int32_t CountItemsInIntList(void* iList, int32_t debug);
KVR_API int32_t CountIntItemsInList(RD_LinkedListForInts* iList, int32_t debug);
KVR_API int32_t CountItemsInListWithIntKey(void* iList, int32_t iSearchKey, void** outItemData,
                                           int32_t debug);

/* Cursors are independent of the current item and of each other. */
KVR_API int32_t KVR_CreateCursor(void* ListArg, void** CursorArg, int32_t debug);
KVR_API int32_t DuplicateCursor(void* CursorArg, void** NewCursorArg, int32_t debug);
KVR_API int32_t GetDataAtCursor(void* CursorArg, void** outItemData);
KVR_API int32_t AdvanceCursor(void* CursorArg);
KVR_API void DeleteCursor(void* CursorArg, int32_t debug);

/* ------------------------------------------------------------------ symbol tables */

typedef struct Symbol Symbol;
typedef struct SymbolTable SymbolTable;

KVR_API BOOLEAN CreateSymbolTable(SymbolTable** ReturnPtr, int32_t debug);
/* Puts a new symbol (copy of Name, no value) in front; hides an older one of that name. */
KVR_API BOOLEAN AddSymbol(SymbolTable* Table, const char* Name, Symbol** NewSym, int32_t debug);
KVR_API int16_t SetSymbolValue(Symbol* RefSym, const char* SymVal, int32_t debug);
KVR_API int16_t FindSymbol(SymbolTable* Table, const char* Name, Symbol** FoundSym);
KVR_API int16_t HasValue(Symbol* RefSym);
/* The value itself (not a copy), null when the symbol has none. */
KVR_API char* SymbolValue(Symbol* RefSym);
KVR_API void DeleteSymbolTable(SymbolTable* Table, int32_t debug);

/* ------------------------------------------------------------------ messages and log */

/* Message texts come from the catalog named by the current base name ("kvrmsg.dll", or
 * "pjwenus.dll" after setMessageDll) and the locale. A text starts with an 8-character
 * identifier whose 8th character is the severity letter (I 0, W 4, E 8, S 16). Inserts
 * are %1 to %4; an absent (null) insert is the empty text. */
KVR_API void KVROpenLogFile(BOOLEAN useStderr, int32_t debug);
KVR_API void KVRCloseLogFile(void);
KVR_API void KVRFlushLogFile(void);
KVR_API void KVRWriteMessage(uint32_t iMsg);
KVR_API void KVRWriteMessageWithStrings(uint32_t iMsg, const char* pReplace1, const char* pReplace2,
                                        const char* pReplace3, const char* pReplace4);
/* Write the message, flush every stream and end the process with exit code 8. */
KVR_API void KVRWriteMessageAndExit(uint32_t iMsg);
/* What kvrbase does when memory runs out inside an operation that cannot report it
 * (CloneString): call the program's handler, which ends the run in its own way and does
 * not return; without one (or should it return), message 1450 and KVRWriteMessageAndExit. */
typedef void (*KVROutOfMemoryHandler)(void);
KVR_API void KVRSetOutOfMemoryHandler(KVROutOfMemoryHandler handler);
KVR_API void KVRWriteMessageWithStringAndExit(uint32_t iMsg, const char* ipReplace1);
/* Loads message ulMsgNumbr of the catalog bound to pszDLLName and the current locale into
 * pszDataArea and places the inserts of ppszTable (four entries, or null for none; the
 * array ends at its last non-null entry, and a marker beyond it stays as written).
 * Returns the formatted length, or 0 with an empty text when there is no such text. */
KVR_API int32_t KVRGetMessage(const char* const* ppszTable, char* pszDataArea,
                              uint32_t ulDataLength, uint32_t ulMsgNumbr, const char* pszDLLName);
/* The catalog library for a base name and locale (first matching row of the binding
 * table); FALSE when no row matches. outLibrary holds at least 128 characters. */
KVR_API BOOLEAN KVRGetMessageBind(const char* pszBaseName, const char* pszLocale, char* outLibrary);
/* Where the catalog of the current base name and locale is looked for, for a message about
 * a missing or broken catalog: "kvrenus.msg in /x/messages, /x/../share/kvr4000/messages"
 * (cut to iSize - 1 characters). */
KVR_API void KVRDescribeMessageCatalog(char* outText, uint32_t iSize);
/* TRUE once a line could not be written to the log file (a full disk): the line and the
 * failure were then reported on standard error, once. */
KVR_API BOOLEAN KVRLogFileFailed(void);
/* Format into a caller buffer of 512 bytes, without logging. */
KVR_API void KVRGetMessageText(char* pszMsgText, uint32_t iMsg, const char* pReplace1,
                               const char* pReplace2, const char* pReplace3, const char* pReplace4);
KVR_API void KVRGetMessageTextWithoutMsgNo(char* pszMsgText, uint32_t iMsg, const char* pReplace1,
                                           const char* pReplace2, const char* pReplace3,
                                           const char* pReplace4);
/* Severity of a formatted text by its 8th character: W 4, E 8, S 16, anything else 0. */
KVR_API int16_t KVRGetMessageType(const char* pszMessageText);
KVR_API void setMessageDll(const char* iSetting);
KVR_API void setLogFileErrorMsg(uint32_t iSetting);

KVR_API void KVRU001(const int32_t* iToolId);
KVR_API int32_t KVRU002(void);
/* The maximum severity of the messages written so far. */
KVR_API int32_t KVRU005(void);
/* 'C' when the maximum severity is 4 or less, else 'E'. */
KVR_API char KVRU006(void);
KVR_API void SetMaximumSeverity(int32_t CurrentSeverity);
KVR_API void ResetMaximumSeverity(void);

KVR_API void kvru900(const char* MainPgmProgramName, const char* iCopyrightYears,
                     const char* MainPgmDateCompiled, const char* MainPgmTimeCompiled);
KVR_API void kvru900_Velkor(const char* MainPgmProgramName, const char* iCopyrightYears,
                            const char* MainPgmDateCompiled, const char* MainPgmTimeCompiled);
/* COMPUTERNAME, else "*DEFAULT*"; outSiteName holds at least 256 characters. */
KVR_API void KVRU986_GetSiteName(char* outSiteName);

/* DB2 statement trace on "DD:DB2TRACE" (debug runs of other analyzers). */
KVR_API void db2TraceOpen(int32_t debug);
KVR_API void db2TraceBefore(const char* iTraceString);
KVR_API void db2TraceAfter(void);
KVR_API void db2TraceInputRecord(const char* iRecordType);
KVR_API void db2TraceClose(void);

/* ------------------------------------------------------------------ locale and code pages */

typedef unsigned char DBCSENV;
#define DBCSENV_MS932 0
#define DBCSENV_MS936 1
#define DBCSENV_MS949 2
#define DBCSENV_MS950 3
#define DBCSENV_EBCDIC 4
#define DBCSENV_FALSE 5

typedef struct kvrdbcshandle {
    DBCSENV DBCSEnv;
    char chcodepage[64];
} KVRDBCSHDL;

/* A null handle pointer means the process-wide handle everywhere below. */
KVR_API void KVR_SetLocale(const char* pLocale, const char* pCodePage);
KVR_API const char* KVR_GetLocale(void);
KVR_API const char* KVR_GetLanguage(void);
KVR_API const char* KVR_GetCountry(void);
KVR_API const char* KVR_GetLocaleCodepage(void);
KVR_API KVRDBCSHDL* KVR_GetLocaleCodepageHandler(void);
KVR_API void KVR_CloseLocale(void);
/* 0, or -13 when the locale last passed to KVR_SetLocale was 64 characters or longer. */
KVR_API int32_t KVR_GetLastLocaleError(void);
KVR_API void KVRDBCS_SetEnvironment(KVRDBCSHDL* pHDL, const char* pCP);
KVR_API DBCSENV KVRDBCS_GetEnvironment(KVRDBCSHDL* pHDL);
KVR_API const char* KVRDBCS_GetCodepage(KVRDBCSHDL* pHDL);
KVR_API BOOLEAN IsMS932Environment(KVRDBCSHDL* pHDL);
KVR_API BOOLEAN IsMS936Environment(KVRDBCSHDL* pHDL);
KVR_API BOOLEAN IsMS949Environment(KVRDBCSHDL* pHDL);
KVR_API BOOLEAN IsMS950Environment(KVRDBCSHDL* pHDL);
/* 0 when pTarget does not begin with a double-byte character; 1 when it does and pSBCS is
 * null or empty; else the code of the first character of pSBCS whose full-width form
 * pTarget begins with, or 0. */
KVR_API int32_t KVRDBCS_IsDBCS(KVRDBCSHDL* pHDL, const char* pTarget, const char* pSBCS);
/* usModify bit 1: replace invalid bytes by blanks; bit 2: remove the shift bytes 0x1E and
 * 0x1F. With usModify 0 returns the first invalid byte, or null when all are valid. */
KVR_API char* KVRDBCS_Validate(KVRDBCSHDL* pHDL, char* pString, uint16_t usModify);

/* ------------------------------------------------------------------ cards and sources */

/* Index of a member in the referenced-source table; -1 when none. */
typedef int32_t SOURCE_REF;

/* One card: the member that holds it, its line number (from 1), the characters in its text
 * and the text itself, column 1 first. The text holds up to 81 characters of the line, plus
 * the two blanks appended in Velkor mode, and is always zero-terminated. */
typedef struct SourceLine {
    SOURCE_REF FileReference;
    int32_t fileLine;
    int32_t lineLength;
    char SourceText[84];
} SourceLine;

/* ------------------------------------------------------------------ import file */

/* Opens "DD:ATTRBOUT" with the C library mode; failure: message 1680 (3101 in Velkor mode). */
KVR_API void KVR_OpenImportFile(const char* fileMode, int16_t iProcessingMode);
/* Closes the file; records still buffered that cannot be written give 1681 (3121). */
KVR_API void KVR_CloseImportFile(void);
/* Writes the buffered records out now; a failure gives 1681 (3121) as on close. */
KVR_API void KVR_FlushImportFile(void);
/* TRUE once a write to the import file failed (1681, 3121 in Velkor mode, severity S):
 * nothing more is written to it. */
KVR_API BOOLEAN KVR_ImportFileFailed(void);
/* Cleans the record in place (control characters) and writes it with a newline. */
KVR_API void KVR_PutImportRecord(char* iWork);
/* recType, a blank, each byte as two upper-case hexadecimal digits, a newline. */
KVR_API void KVR_PutImportRecordHex(const char* recType, const unsigned char* rec, int32_t length,
                                    int16_t processingMode);
KVR_API void KVR_SetMSG_Format(BOOLEAN iSetting);
KVR_API void KVR_Write_MSG_Record(const char* ipAnalysisType, const char* ipStep,
                                  int32_t iMsgNumber);
KVR_API void KVR_Write_MSG_RecordWithString(const char* iAnalysisType, const char* iStep,
                                            int32_t iMsgNumber, const char* iReplace1);
KVR_API void KVR_Write_MSG_RecordWithStrings(const char* iAnalysisType, const char* iStep,
                                             int32_t iMsgNumber, const char* iReplace1,
                                             const char* iReplace2, const char* iReplace3,
                                             const char* iReplace4);

/* ------------------------------------------------------------------ parameter structures */

/* Splits an operand field into its parameters (commas inside parentheses or apostrophes do
 * not separate). On failure *StructArg is left unchanged and the reason has been reported.
 * useAsterisk: the first asterisk ends the text. */
KVR_API void CreateParmStructure(void** StructArg, const char* StringArg, BOOLEAN useAsterisk,
                                 int16_t iProcessingMode, int32_t debug);
KVR_API int32_t QueryParmCount(void* ParmArg);
/* Positions count from 1; the text points into the structure. */
KVR_API BOOLEAN QueryPositionalParm(int32_t iSequence, void* iParmList, char** outParm);
/* The first parameter that begins with exactly iKeyword followed by "=": the whole text. */
KVR_API BOOLEAN QueryKeywordParm(const char* iKeyword, void* iParmList, char** outParm);
KVR_API void DeleteParmStructure(void* ParmArg, BOOLEAN debug);

/* ------------------------------------------------------------------ configuration */

KVR_API void KVRU921_InitializeCommonCfgList(int32_t debug);
KVR_API void KVRU921_InitializeAnalyzersCfgList(int32_t debug);
KVR_API void KVRU921_ReadCommonCfg(int32_t debug);
KVR_API void KVRU921_ReadAnalyzersCfg(int32_t debug);
/* outValue holds 512 characters; the empty text when section or key is missing. */
KVR_API void KVRU921_GetCommonCfgValue(const char* iSection, const char* iKey, char* outValue);
KVR_API void KVRU921_GetAnalyzersCfgValue(const char* iSection, const char* iKey, char* outValue);
/* Copies at most len characters (outValue may be null); returns the full value length. */
KVR_API int32_t KVRU921_GetCommonCfgValueN(const char* iSection, const char* iKey, char* outValue,
                                           int32_t len);
KVR_API int32_t KVRU921_GetAnalyzersCfgValueN(const char* iSection, const char* iKey,
                                              char* outValue, int32_t len);
KVR_API int32_t KVRU921_getCommonCfgNumericValue(const char* iSection, const char* iKey,
                                                 int32_t iDefaultValue);
KVR_API BOOLEAN KVRU921_getCommonCfgBooleanValue(const char* iSection, const char* iKey,
                                                 BOOLEAN iDefaultValue);
KVR_API void KVRU921_FreeCommonCfgList(int32_t debug);
KVR_API void KVRU921_FreeAnalyzersCfgList(int32_t debug);

/* ------------------------------------------------------------------ strings */

/* An owned copy (release with FreeString); out of memory ends the process (the handler set
 * with KVRSetOutOfMemoryHandler, else message 1450). */
KVR_API char* CloneString(const char* Old, int32_t debug);
KVR_API void FreeString(char* Old, int32_t debug);
/* In place; returns iString. A string of 512 characters or more ends the process (20). */
KVR_API char* trim(char* iString);
KVR_API char* SkipBlanks(const char* ipChar);
KVR_API char* CutOffSpaces(char* iString);
KVR_API BOOLEAN isBlankSourceLine(const char* iString);
KVR_API int16_t startsWith(const char* iString, char iChar);
KVR_API BOOLEAN endsWith(const char* iString, const char* iSuffix);
KVR_API BOOLEAN regionMatches(const char* iString, int32_t thisStart, const char* iOther,
                              int32_t start, int32_t length);
KVR_API int32_t indexOf(const char* iString, char iChar, int32_t iStart);
KVR_API int32_t lastIndexOf(const char* iString, char c);
KVR_API int32_t lastIndexOfWithStart(const char* iString, char c, int32_t iStart);
KVR_API char* substring(char* outString, const char* inString, int32_t start, int32_t length);
KVR_API void StripQuotes(const char* inText, char* outText);

/* ------------------------------------------------------------------ repository interface */

/* Only the repository type "NTFS" (the workstation file system) is served; every other type
 * answers 16. Results: 0 success, 1 end of file (reads), 16 failure. */
KVR_API void KVRIOAPI_Initialize(int32_t debug);
KVR_API void KVRIOAPI_Terminate(int32_t debug);
KVR_API int32_t KVRIOAPI_CheckIfMemberExists(const char* iRmType, const char* iFullName,
                                             const char* iRmDDName, const char* iContainerName,
                                             const char* iFileName);
/* Opens an existing regular file for reading; null for anything else (a FIFO, a device, a
 * folder), which is never waited on. Members, data set files and control files are opened
 * this way. */
KVR_API FILE* KVRIOAPI_OpenRegularFile(const char* iPath);
KVR_API int32_t KVRIOAPI_Open(const char* iRmType, const char* iFullName, const char* iFOpenParms,
                              FILE** outpFile, const char* iRmDDName, const char* iContainerName,
                              const char* iFileName);
/* One line of at most iSize - 1 characters, line feed included when it fits; a carriage
 * return before the line feed is not part of the line. */
KVR_API int32_t KVRIOAPI_GetRecord(const char* iRmType, void* outBuffer, size_t iSize,
                                   FILE* iStream, const char* iRmDDName, const char* iContainerName,
                                   const char* iFileName);
KVR_API int32_t KVRIOAPI_ReadFile(const char* iRmType, void* outBuffer, size_t iSize, size_t iCount,
                                  FILE* iStream, const char* iRmDDName, const char* iContainer,
                                  const char* iFile, int16_t* outItemsRead);
KVR_API int32_t KVRIOAPI_Close(const char* iRmType, FILE* iStream, const char* iRmDDName,
                               const char* iContainerName, const char* iFileName);
KVR_API int32_t KVRIOAPI_v2_CheckIfMemberExists(const char* iRmType, const char* iRmDDName,
                                                const char* iContainerName, const char* iFileName,
                                                int32_t debug);
KVR_API int32_t KVRIOAPI_v2_Open(const char* iRmType, const char* iFullName,
                                 const char* iFOpenParms, FILE** outpFile, const char* iRmDDName,
                                 const char* iContainerName, const char* iFileName, int32_t debug);
KVR_API int32_t KVRIOAPI_v2_GetRecord(const char* iRmType, void* outBuffer, size_t iSize,
                                      FILE* iStream, const char* iRmDDName,
                                      const char* iContainerName, const char* iFileName,
                                      int32_t debug);
KVR_API int32_t KVRIOAPI_v2_Close(const char* iRmType, FILE* iStream, const char* iRmDDName,
                                  const char* iContainerName, const char* iFileName, int32_t debug);

/* The DD-name convention: "DD:NAME" is the path in the environment variable of exactly that
 * name ("DD_NAME" when that is unset); unset or "DUMMY" means no file. */
KVR_API FILE* KVRIOAPI_DD_fopen(const char* ddName, const char* mode, int32_t debug);
KVR_API char* KVRIOAPI_DD_fgets(char* str, int32_t num, FILE* stream);
KVR_API void KVRIOAPI_DD_fclose(FILE* stream);
KVR_API void KVRIOAPI_DD_fprintf1(FILE* stream, const char* format, int32_t iInt);
KVR_API void KVRIOAPI_DD_fprintf2(FILE* stream, const char* format, const char* iChar);
KVR_API void KVRIOAPI_DD_fprintf3(FILE* stream, const char* format, const char* iChar1,
                                  const char* iChar2);
KVR_API void KVRIOAPI_DD_fprintf4(FILE* stream, const char* format, const char* iChar1,
                                  const char* iChar2, const char* iChar3);

/* ------------------------------------------------------------------ names */

/* outName holds at least 1025 characters. Returns 1 for a quoted name that still holds a
 * blank, else 0. */
KVR_API int16_t NormalizeName(const char* iName, char* outName, int32_t iMaxNameLength,
                              int16_t stripLeadingBlanks, int16_t stripTrailingBlanks,
                              int32_t debug);
/* Copies one token of iRec into token (tokenSize bytes); returns the position after it. */
KVR_API const char* GetAToken(const char* iRec, int32_t tokenSize, char* token, int16_t toUpper,
                              int16_t iUseApost, int16_t iUseQuote);
KVR_API void CheckForSpaceInName(const char* iName, char* outName);
KVR_API void DisplayContainerFileName(const char* iContainerName, const char* iFileName,
                                      int32_t debug);
/* "container/member" into OutBuf (at least 512 characters); 0 when a name is too long. */
KVR_API int32_t FileSpec(const char* iContainerName, const char* iFileName, char* OutBuf,
                         int16_t iProcessingMode);
KVR_API int16_t KVRU996(const char* iContainerName);
KVR_API BOOLEAN KVRU997(const char* iFileName);
KVR_API BOOLEAN IsGDG(const char* DSN, int16_t iProcessingMode);
KVR_API void RootNameOfGDG(char* DSN);
/* Names as JCL may write them; nothing else taken from JCL is ever opened as a file name.
 * A member name: 1-8 characters of A-Z, 0-9, @, # and $, the first not a digit. A data set
 * name: qualifiers of 1-8 such characters (and "-" after the first), the first of each not
 * a digit, joined by periods, 44 characters at most. Lower case counts as upper case. */
KVR_API BOOLEAN IsMemberName(const char* iName);
KVR_API BOOLEAN IsDataSetName(const char* iName);

/* ------------------------------------------------------------------ source access */

KVR_API void KVRU940_InitializeFields(void);
/* A comma-separated list of extensions; the text is cut up in place. */
KVR_API void KVR_CreateFileExtensionList(char* extList, int32_t debug);
KVR_API void LoadDefaultSearchList(int16_t iProcessingMode, int32_t debug);
KVR_API void LoadLibraryTranslations(int16_t iProcessingMode, int32_t debug);
KVR_API BOOLEAN AddToJobList(const char* iContainerName, const char* iSiteName,
                             SOURCE_REF iFileReference, int32_t iFileLine, int16_t iProcessingMode);
/* outXlatedContainerName holds 256 characters, outFileSpecText 512. TRUE when a
 * translation applied. */
KVR_API BOOLEAN XlatLibOrSeqDSN(const char* iContainerName, const char* iFileName,
                                char* outXlatedContainerName, char* outFileSpecText,
                                int16_t iProcessingMode);
KVR_API BOOLEAN OpenFileWithLanguageAndType(const char* iContainerName, const char* iFileName,
                                            const char* iLocalFile, const char* iLanguageCd,
                                            const char* iFileTypeCd, const char* iRmType,
                                            const char* iRmDDName, const char* iSiteName,
                                            int16_t iProcessingMode, int32_t debug);
KVR_API void OpenCatalogedProc(const char* iName, SOURCE_REF iFileReference, int32_t iFileLine,
                               int16_t iProcessingMode, int32_t debug);
KVR_API void OpenIncludedMember(const char* iName, SOURCE_REF iFileReference, int32_t iFileLine,
                                int16_t iProcessingMode, int32_t debug);
KVR_API BOOLEAN ReadNextLine(SourceLine* SourceBuffer, int16_t iProcessingMode, int32_t debug);
/* As ReadNextLine, but the iKeptMembers members at the bottom of the open members are
 * neither read nor closed: FALSE once every member above them has ended. A procedure or
 * include member opened on top of a member still being read is read to its own end so. */
KVR_API BOOLEAN ReadNextLineAbove(SourceLine* SourceBuffer, int32_t iKeptMembers,
                                  int16_t iProcessingMode, int32_t debug);
/* Members open now: the analysed member and the members opened on top of it. */
KVR_API int32_t KVRU940_OpenMemberCount(void);
/* Empties the job's search order (JCLLIB ORDER=): a further job of the member starts
 * without the libraries of the job before. */
KVR_API void KVRU940_ResetJobSearchOrder(void);
/* The job's search order as text (every field of every library, in order; empty when there
 * is none): jobs with equal keys find the same procedures and INCLUDE members. Valid until
 * the next call. */
KVR_API const char* KVRU940_JobSearchOrderKey(void);
KVR_API void KVRU940_SetLogicalEOF(void);
/* Members copied in binary from the mainframe stay EBCDIC: fixed 80-byte records without
 * line ends. Such a member is recognised by its bytes and read record by record, converted
 * with iconv from this code page (an iconv name, "IBM1047" when null or empty) to the
 * workstation code page. */
KVR_API void KVR_SetEbcdicCodePage(const char* pCodePage);
KVR_API const char* KVR_GetEbcdicCodePage(void);
/* TRUE when the last member open failed because the member holds no text (binary data,
 * UTF-16, an archive); message 1484 has then been written. */
KVR_API BOOLEAN KVRU940_MemberNotText(void);
KVR_API void CloseAnyRemainingFiles(int16_t iProcessingMode, int32_t debug);
KVR_API BOOLEAN GetCurrentSourceReference(SOURCE_REF* RefArg);
/* Pointers into the table entry; 0 (message 1413) for a reference outside the table. */
KVR_API int32_t QuerySourceReference(SOURCE_REF iArg, char** outContainerName, char** outFileName,
                                     char** outRmType, char** outSiteName, char** outFileTypeCd,
                                     int16_t iProcessingMode);
KVR_API void ReportIncludedFiles(void);
KVR_API void PrintFileTables(int16_t iProcessingMode);
/* A locator message naming the member and line (1470 before a warning, else 1471), then the
 * message; with logMSG both are also written as MSG records. */
KVR_API void KVRWriteMessageWithFileLine(uint32_t iMsg, BOOLEAN logMSG, SOURCE_REF iFileReference,
                                         int32_t iFileLine, int16_t iProcessingMode);
KVR_API void KVRWriteMessageWithStringsAndFileLine(uint32_t iMsg, const char* iReplace1,
                                                   const char* iReplace2, const char* iReplace3,
                                                   const char* iReplace4, BOOLEAN logMSG,
                                                   SOURCE_REF iFileReference, int32_t iFileLine,
                                                   int16_t iProcessingMode);
/* The value of the variable named exactly iDDNameVar (outDDNameVarValue holds 1025
 * characters); FALSE when it is not set or is "DUMMY". */
KVR_API BOOLEAN CheckWorkstationEnvironmentVariable(const char* iDDNameVar, char* outDDNameVarValue,
                                                    int32_t debug);

/* ------------------------------------------------------------------ hashes */

KVR_API int32_t KVRHASHF(const char* s);
KVR_API int32_t KVRHASHX(const char* s, int32_t inSeed);
KVR_API int32_t ComputeRandomHash(const char* S);
KVR_API int32_t ComputeRandomHashWithSeed(const char* sItem, int32_t sItemLgth, int32_t inSeed);
/* A pseudo-random number from 1 to 2147418110; the generator is seeded once per process. */
KVR_API int32_t ComputeRandomInt(void);

/* ------------------------------------------------------------------ PL/I pictures */

/* Precision and scale of a PL/I numeric picture; 0 and 0 when it is not understood. */
KVR_API void KVRCountPLIPIC(const char* picString, uint16_t usLen, uint16_t* pPrecision,
                            uint16_t* pScale);

/* ------------------------------------------------------------------ collections */

typedef unsigned char CDM_TYPE;
#define CDM_TYPE_UNUSE 0
#define CDM_TYPE_ARRAY 1
#define CDM_TYPE_LIST 2
#define CDM_TYPE_MAP 3

/* One handle type for arrays, rings and keyed maps. Collections hold the caller's element
 * and key pointers and never copy or free them. Status results: 0 success, 1 failure. */
typedef void* CDM_HANDLE;
typedef CDM_HANDLE* PCDM_HANDLE;

KVR_API CDM_HANDLE InitiateCollection(CDM_TYPE enumType, uint32_t ulInitialSize);
KVR_API uint16_t TerminateCollection(CDM_HANDLE handle);
KVR_API uint16_t ClearCollection(CDM_HANDLE handle);
KVR_API uint16_t GetCollectionSize(CDM_HANDLE handle, uint32_t* pulSize);
KVR_API CDM_HANDLE CopyCollection(CDM_HANDLE handle);

KVR_API uint16_t GetArrayElement(CDM_HANDLE handle, uint32_t ulIndex, void** pElement);
KVR_API uint16_t PutArrayElement(CDM_HANDLE handle, uint32_t ulIndex, void* pElement);
KVR_API uint16_t DeleteArrayElement(CDM_HANDLE handle, uint32_t ulIndex);
KVR_API uint16_t CopyArray(PCDM_HANDLE ptoHandle, PCDM_HANDLE pfromHandle);

KVR_API uint16_t GetNextListElement(CDM_HANDLE handle, void** pElement);
KVR_API uint16_t GetPrevListElement(CDM_HANDLE handle, void** pElement);
KVR_API uint16_t InsertAfterListElement(CDM_HANDLE handle, void* pElement);
KVR_API uint16_t InsertBeforeListElement(CDM_HANDLE handle, void* pElement);
KVR_API uint16_t DeleteListElement(CDM_HANDLE handle);
KVR_API uint16_t CopyList(PCDM_HANDLE ptoHandle, PCDM_HANDLE pfromHandle);

KVR_API uint16_t GetMapElement(CDM_HANDLE handle, const unsigned char* pKey, uint32_t ulLength,
                               void** pElement);
KVR_API uint16_t PutMapElement(CDM_HANDLE handle, const unsigned char* pKey, uint32_t ulLength,
                               void* pElement);
KVR_API uint16_t GetNextMapElement(CDM_HANDLE handle, void** pElement);
KVR_API uint16_t DeleteMapElement(CDM_HANDLE handle, const unsigned char* pKey, uint32_t ulLength);
KVR_API uint16_t CopyMap(PCDM_HANDLE ptoHandle, PCDM_HANDLE pfromHandle);

#ifdef __cplusplus
}
#endif

#endif /* KVRBASE_H */
