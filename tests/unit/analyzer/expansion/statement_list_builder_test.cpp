// The statement-list loop: step and job markers of the job list, SET statements applied
// while reading, the read-time scope of a procedure call, the markers of a cataloged procedure's
// list, and the debug listing.
#include <tuple>

#include "analyzer/expansion/deck_fixture.h"
#include "expansion/list_builder_state.h"
#include "reader/instream_data.h"

namespace kvr::test {
namespace {

TEST_F(DeckTest, JobListPutsStepEndsBeforeExecsAndJobEndsBeforeLaterJobs) {
    StatementList* list = ReadJob({"//J1 JOB (ACCT),'X'", "//S1 EXEC PGM=A",
                                   "//DD1 DD DSN=A.B,DISP=SHR", "//S2 EXEC PGM=B",           // 4
                                   "//DD2 DD DSN=C.D,DISP=SHR", "//DD3 DD *", "DATA1", "/*", // 8
                                   "//S3 EXEC PGM=C", "//J2 JOB", "//T1 EXEC PGM=D"});       // 11
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Types(list),
              (Ints{RD_JOB, RD_STEP_END, RD_EXEC, RD_DD, RD_STEP_END, RD_EXEC, RD_DD, RD_DD,
                    RD_STEP_END, RD_EXEC, RD_JOB_END, RD_JOB, RD_STEP_END, RD_EXEC, RD_STEP_END}));
    EXPECT_EQ(Labels(list), (Strings{"J1", "", "S1", "DD1", "", "S2", "DD2", "DD3", "", "S3", "",
                                     "J2", "", "T1", ""}));
    EXPECT_EQ(getJobCount(), 2);
    EXPECT_EQ(getStmtCount(), 9); // the data cards belong to DD3
    // The list's EXEC copies end where their steps end, data cards and "/*" included.
    EXPECT_EQ(Labelled(list, "S2")->endFileLine, 8);
    EXPECT_EQ(Labelled(list, "S2")->EXEC_endFileLine, 4);
    EXPECT_EQ(Labelled(list, "T1")->endFileLine, 11);
    EXPECT_TRUE(Raised().empty());
}

// A SET counts for the cards read after it; the symbols of a call for its overrides.
TEST_F(DeckTest, SetsAndTheOverridesAfterAProcedureCallSeeTheirValues) {
    StatementList* list = ReadJob({"//J1 JOB", "//  SET V=ONE", "//S0 EXEC PGM=A,PARM=&V",
                                   "//  SET V='TWO'", "//D0 DD DSN=&V..X",
                                   "//S1 EXEC P,X=A,X=B", // the first occurrence wins
                                   "//S.DD1 DD DSN=&X..B",
                                   "//DD3 DD DSN=&X", // not an override: the scope is closed
                                   "//S.DD4 DD DSN=&X", "//S2 EXEC PGM=Y,PARM=&X",
                                   "//S3 EXEC PROC=Q,Y=C", "//S.DD5 DD DSN=&PROC..&Y"});
    const std::pair<const char*, const char*> cases[] = {
        {"S0", "PGM=A,PARM=ONE"}, {"D0", "DSN=TWO.X"},     {"S.DD1", "DSN=A.B"}, {"DD3", "DSN=&X"},
        {"S.DD4", "DSN=&X"},      {"S2", "PGM=Y,PARM=&X"}, {"S.DD5", "DSN=Q.C"}};
    for (auto [label, parms] : cases)
        EXPECT_EQ(Parms(Labelled(list, label)), parms) << label;
    // The call at the end of the member had no later statement to close its scope; it is
    // closed all the same, so nothing of it remains in force.
    EXPECT_EQ(Symbol("V"), "TWO"); // left in the job scope for the walk
    EXPECT_EQ(Symbol("X"), "<undefined>");
    EXPECT_EQ(Symbol("Y"), "<undefined>");
    EXPECT_EQ(Symbol("PROC"), "<undefined>");
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

TEST_F(DeckTest, CatalogedProcedureListsGetStartAndEndMarkers) {
    CreateList(&deck_, 0);
    // A first DD or SET statement gets a PROC marker in front.
    auto [types, labels, parms] = BuildCataloged(deck_, {"//D1 DD DSN=A", "//E1 EXEC PGM=X"});
    EXPECT_EQ(types, (Ints{RD_PROC, RD_DD, RD_STEP_END, RD_EXEC, RD_STEP_END, RD_PEND}));
    EXPECT_EQ(labels, (Strings{"", "D1", "", "E1", "", ""}));
    std::tie(types, labels, parms) =
        BuildCataloged(deck_, {"//  SET A=1", "//E1 EXEC PGM=X,PARM=&A"});
    EXPECT_EQ(types, (Ints{RD_PROC, RD_SET, RD_STEP_END, RD_EXEC, RD_STEP_END, RD_PEND}));
    EXPECT_EQ(parms[3], "PGM=X,PARM=1");
    // A first EXEC gets none: its end-of-step marker comes first.
    std::tie(types, labels, parms) = BuildCataloged(deck_, {"//E1 EXEC PGM=X", "//D1 DD DSN=A"});
    EXPECT_EQ(types, (Ints{RD_STEP_END, RD_EXEC, RD_DD, RD_STEP_END, RD_PEND}));

    // A PROC statement first is kept, with its defaults in the scope of the call; a PEND
    // is preceded by an end of step.
    ASSERT_TRUE(BeginSymbolScope(0, 0));
    SetScopedSymbolValue("X", "CALL", TRUE, 0);
    std::tie(types, labels, parms) =
        BuildCataloged(deck_, {"//CP PROC X=DEF,Z='Q R'", "//E1 EXEC PGM=X,PARM=&X", "//  PEND"});
    EXPECT_EQ(types,
              (Ints{RD_PROC, RD_STEP_END, RD_EXEC, RD_STEP_END, RD_PEND, RD_STEP_END, RD_PEND}));
    EXPECT_EQ(labels[0], "CP");
    EXPECT_EQ(parms[0], "X=DEF,Z='Q R'");
    EXPECT_EQ(parms[2], "PGM=X,PARM=CALL");
    EXPECT_EQ(Symbol("Z"), "Q R");
    EXPECT_TRUE(EndSymbolScope(0));
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
