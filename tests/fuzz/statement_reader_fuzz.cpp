// Fuzz target for the statement reader: arbitrary bytes as a member, read statement by
// statement from a file and from a card list, under JES2 and JES3 rules and with directive
// capture on and off. Every statement's fields stay within their limits, and every block
// taken during an input is returned by its end.
#include <cstring>

#include "expansion/list_builder_state.h"
#include "expansion/symbols.h"
#include "fuzz_support.h"
#include "model/deck_records.h"
#include "reader/card_reader.h"
#include "reader/instream_data.h"
#include "reader/jcl_statement.h"
#include "reader/statement_parser.h"

using namespace kvr;

namespace {

using fuzz::Require;

void CheckStatement(JCLStatement* stmt, int16_t mode) {
    Require(stmt->LabelLength >= 0 && stmt->LabelLength <= kLabelMax);
    Require(std::strlen(stmt->StatementLabel) == static_cast<size_t>(stmt->LabelLength));
    Require(std::strlen(stmt->StatementOp) < sizeof stmt->StatementOp);
    Require(stmt->ParmLength >= 0 && stmt->ParmLength <= stmt->ParmMaxLength);
    Require(stmt->ParmMaxLength <= kOperandAreaSize);
    if (stmt->StatementParms != nullptr)
        Require(std::strlen(stmt->StatementParms) == static_cast<size_t>(stmt->ParmLength));
    JCLStatementParmCount(stmt, mode, 0);
    JCLStatement* copy = nullptr;
    if (CopyJCLStatement(&copy, stmt, 0)) DeleteJCLStatement(copy, TRUE, 0);
}

// What the statement-list builder would do with a statement, as far as the reader sees it.
void FollowStatement(JCLStatement* stmt, JCLStatement** step, BOOLEAN* procCall, const char* jes,
                     bool fromFile, int16_t mode) {
    switch (stmt->StatementType) {
    case RD_JOB:
        setJobCount(getJobCount() + 1);
        break;
    case RD_EXEC: {
        setExecFound(1);
        DeleteJCLStatement(*step, TRUE, 0);
        *step = nullptr;
        if (CopyJCLStatement(step, stmt, 0))
            setCurrentStepStmt(*step);
        else
            setCurrentStepStmt(nullptr);
        char* pgm = nullptr;
        if (!JCLStatementKeywordParm(stmt, "PGM", &pgm, mode, 0) && BeginSymbolScope(mode, 0))
            *procCall = TRUE;
        break;
    }
    case RD_DD:
        if (fromFile) BypassInstreamData(stmt, jes, mode, 0);
        break;
    default:
        break;
    }
    DeleteInstreamSpool(stmt->inStreamData, 0);
    stmt->inStreamData = nullptr;
}

void ReadStatements(void* cursor, const char* jes, int16_t mode) {
    void* deck = nullptr;
    JCLStatement* stmt = nullptr;
    JCLStatement* step = nullptr;
    Require(CreateList(&deck, 0) && CreateJCLStatement(&stmt, 0));
    BOOLEAN procCall = FALSE;
    for (int count = 0; count < 20000; ++count) {
        if (!BuildJCLStatement(deck, stmt, jes, mode, cursor, &procCall, 0)) break;
        if (KVRU005() > 4) {
            ResetMaximumSeverity();
            break;
        }
        CheckStatement(stmt, mode);
        FollowStatement(stmt, &step, &procCall, jes, cursor == nullptr, mode);
    }
    setCurrentStepStmt(nullptr);
    DeleteJCLStatement(step, TRUE, 0);
    DeleteJCLStatement(stmt, TRUE, 0);
    Free_arrayJclDeck(deck, 0);
}

// The bytes as cards: split at line feeds, a longer line going on as the next card.
void* CardList(const uint8_t* data, size_t size) {
    void* list = nullptr;
    Require(CreateList(&list, 0) != 0);
    int32_t line = 0;
    size_t start = 0;
    while (start < size) {
        size_t end = start;
        while (end < size && data[end] != '\n' && end - start < 81)
            ++end;
        void* block = nullptr;
        Require(CreateBlock(&block, sizeof(SourceLine)) != 0);
        auto* card = static_cast<SourceLine*>(block);
        std::memset(card, 0, sizeof *card);
        card->FileReference = 0;
        card->fileLine = ++line;
        card->lineLength = static_cast<int32_t>(end - start);
        std::memcpy(card->SourceText, data + start, end - start);
        AddItemToList(list, card, card->SourceText, 0);
        start = end < size && data[end] == '\n' ? end + 1 : end;
    }
    return list;
}

void ResetMember() {
    KVRU940_InitializeFields();
    KVR4002_InitializeFields();
    InitializeStatementListBuilder();
    InitializeScopedSymbolData(0);
    ResetMaximumSeverity();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = (fuzz::QuietLog(), true);
    (void)ready;
    const std::string folder = fuzz::Folder().string();
    fuzz::WriteBytes(fuzz::Folder() / "MEM",
                     std::string_view(reinterpret_cast<const char*>(data), size));
    const int32_t before = fuzz::Outstanding();
    const int16_t mode = size > 0 && (data[0] & 1) ? 2 : 0;
    for (const char* jes : {"JES2", "JES3"}) {
        for (bool capture : {false, true}) {
            if (capture)
                SetCaptureOPCStatements();
            else
                ResetCaptureOPCStatementsForTests();

            ResetMember();
            if (OpenFileWithLanguageAndType(folder.c_str(), "MEM", "", "JCL", "MAIN", "NTFS", "",
                                            "", mode, 0))
                ReadStatements(nullptr, jes, mode);
            CloseAnyRemainingFiles(mode, 0);

            ResetMember();
            void* list = CardList(data, size);
            void* cursor = nullptr;
            Require(KVR_CreateCursor(list, &cursor, 0) != 0);
            ReadStatements(cursor, jes, mode);
            DeleteCursor(cursor, 0);
            FreeList(list, 0);
            InitializeScopedSymbolData(0);
        }
    }
    ResetMember();
    Require(before == fuzz::Outstanding());
    return 0;
}
