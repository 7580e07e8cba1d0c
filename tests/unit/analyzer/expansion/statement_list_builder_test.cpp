// The statement-list loop: the read-time scope of a procedure call, the markers of a
// cataloged procedure's list, and the debug listing.
#include <tuple>

#include "analyzer/expansion/deck_fixture.h"
#include "expansion/list_builder_state.h"

namespace kvr::test {
namespace {

// SET values in the job: text_set_symbols; a call's symbols in its overrides:
// text_proc_referback. Here: the call's scope closes at the first statement that is no
// override, also when the member ends; PROC=name is one of its symbols.
TEST_F(DeckTest, TheReadTimeScopeOfACallEndsWithItsOverrides) {
    StatementList* list =
        ReadJob({"//J1 JOB", "//  SET V=ONE", "//S1 EXEC P,X=A,X=B", "//S.DD1 DD DSN=&X..B",
                 "//DD3 DD DSN=&X", // not an override: the scope is closed
                 "//S.DD4 DD DSN=&X", "//S2 EXEC PGM=Y,PARM=&X", "//S3 EXEC PROC=Q,Y=C",
                 "//S.DD5 DD DSN=&PROC..&Y"});
    const std::pair<const char*, const char*> cases[] = {{"S.DD1", "DSN=A.B"},
                                                         {"DD3", "DSN=&X"},
                                                         {"S.DD4", "DSN=&X"},
                                                         {"S2", "PGM=Y,PARM=&X"},
                                                         {"S.DD5", "DSN=Q.C"}};
    for (auto [label, parms] : cases)
        EXPECT_EQ(Parms(Labelled(list, label)), parms) << label;
    EXPECT_EQ(Symbol("V"), "ONE"); // left in the job scope for the walk
    for (const char* name : {"X", "Y", "PROC"})
        EXPECT_EQ(Symbol(name), "<undefined>") << name;
    EXPECT_TRUE(EndSymbolScope(0)); // the job scope is the only one left
    EXPECT_FALSE(EndSymbolScope(0));
}

// The statement types, labels and operands of a cataloged procedure's list built from cards.
std::tuple<Ints, Strings, Strings> BuildCataloged(void* deck, const Strings& cards) {
    void* cardList = nullptr;
    CreateList(&cardList, 0);
    int32_t line = 0;
    for (const std::string& text : cards) {
        void* block = nullptr;
        CreateBlock(&block, sizeof(SourceLine));
        auto* card = static_cast<SourceLine*>(block);
        *card = SourceLine{};
        card->fileLine = ++line;
        card->lineLength = static_cast<int32_t>(text.size());
        text.copy(card->SourceText, sizeof(card->SourceText) - 1);
        AddItemToList(cardList, card, card->SourceText, 0);
    }
    void* cursor = nullptr;
    KVR_CreateCursor(cardList, &cursor, 0);
    StatementList* list = nullptr;
    KVR4006_BuildCatalogedProcStatementList(deck, &list, cursor, "JES2", 0, 0);
    DeleteCursor(cursor, 0);
    FreeList(cardList, 0);
    Strings parms;
    for (JCLStatement* stmt : Stmts(list))
        parms.push_back(Parms(stmt));
    auto result = std::make_tuple(Types(list), Labels(list), parms);
    DeleteStmtList(list, 0);
    return result;
}

// Procedures opening with EXEC or PROC: text_nested_procs, text_jcllib_proc.
TEST_F(DeckTest, CatalogedProcedureOpeningWithDdOrSetGetsAProcMarker) {
    CreateList(&deck_, 0);
    auto [types, labels, parms] = BuildCataloged(deck_, {"//D1 DD DSN=A", "//E1 EXEC PGM=X"});
    EXPECT_EQ(types, (Ints{RD_PROC, RD_DD, RD_STEP_END, RD_EXEC, RD_STEP_END, RD_PEND}));
    EXPECT_EQ(labels, (Strings{"", "D1", "", "E1", "", ""}));
    std::tie(types, labels, parms) =
        BuildCataloged(deck_, {"//  SET A=1", "//E1 EXEC PGM=X,PARM=&A"});
    EXPECT_EQ(types, (Ints{RD_PROC, RD_SET, RD_STEP_END, RD_EXEC, RD_STEP_END, RD_PEND}));
    EXPECT_EQ(parms[3], "PGM=X,PARM=1");
    EXPECT_TRUE(Raised().empty());
}

TEST_F(DeckTest, DebugListingNamesEachStatementType) {
    StatementList* list = nullptr;
    ASSERT_TRUE(CreateStmtList(&list, 0));
    testing::internal::CaptureStdout();
    reportStmtList("Job", list, 1); // empty: nothing
    for (auto make :
         {CreateEndOfJobStmt, CreateEndOfStepStmt, CreateStartOfProcStmt, CreateEndOfProcStmt}) {
        JCLStatement* marker = nullptr;
        ASSERT_TRUE(make(&marker, 0));
        JCLStatement* copy = nullptr;
        ASSERT_TRUE(AddStmtToList(marker, list, &copy, 0));
        DeleteJCLStatement(marker, TRUE, 0);
    }
    reportStmtList("Proc", list, 0); // not a debug run: nothing
    reportStmtList("Include", list, 1);
    EXPECT_EQ(
        testing::internal::GetCapturedStdout(),
        "Include stmtList\n================\nJOB END\nSTEP END\nPROC\nPEND\n================\n");
    DeleteStmtList(list, 0);
}

} // namespace
} // namespace kvr::test
