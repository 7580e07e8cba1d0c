// Procedure calls: the procedure name, the call's symbols, invoking step names and nesting
// levels, the depth limit, refused recursive calls, a PROC after an INCLUDE and a call made while no
// job exists.
#include "analyzer/expansion/deck_fixture.h"
#include "expansion/deck_internal.h"

namespace kvr::test {
namespace {

TEST_F(DeckTest, ProcedureNameAndCallSymbolsFromTheExec) {
    const std::pair<const char*, const char*> names[] = {
        {"PAYROLL,A=1", "PAYROLL"},
        {"PROC=PAYROLL,A=1", "PAYROLL"},
        {"XYZW=PAYROLL", "PAYROLL"}, // from the sixth character on, whatever the keyword
        {"A=B", ""}, // shorter than "PROC=": the empty name, not the bytes beyond it
        {nullptr, ""}};
    for (auto [parms, name] : names) {
        auto exec = MakeStatement(RD_EXEC, "S", "EXEC", parms);
        EXPECT_STREQ(QueryProcedureName(exec.get(), 0, 0), name) << (parms ? parms : "null");
    }

    ASSERT_TRUE(BeginSymbolScope(0, 0));
    auto exec = MakeStatement(RD_EXEC, "C", "EXEC", "P,A='X Y',B=2,A=3,PGMX");
    ProcessProcExec(exec.get(), 0, 0);
    EXPECT_EQ(Symbol("A"), "X Y"); // first occurrence wins, apostrophes stripped
    EXPECT_EQ(Symbol("B"), "2");
    auto header = MakeStatement(RD_PROC, "P", "PROC", "A=9,C=4,C=5");
    ProcessProcHeader(header.get(), 0, 0);
    EXPECT_EQ(Symbol("A"), "X Y"); // the EXEC's value stays
    // Defaults go from the last parameter down and never replace: the last C wins.
    EXPECT_EQ(Symbol("C"), "5");
    EXPECT_TRUE(EndSymbolScope(0));
}

// Invoking step names of named calls: text_nested_procs, text_instream_proc.
TEST_F(DeckTest, FifteenNestedCallsAreExpandedAndTheSixteenthIsRefused) {
    // P1 calls P2 ... P15 calls P16; each also runs a program after the call.
    for (int n = 1; n <= 16; ++n)
        Proc("P" + std::to_string(n),
             {"//C" + std::to_string(n) + "      EXEC P" + std::to_string(n + 1),
              "//X" + std::to_string(n) + "      EXEC PGM=X"});
    EXPECT_EQ(Expand({"//JOB1    JOB  (A)", "//        EXEC P1"}), TRUE);
    EXPECT_EQ(LogLines(), (Strings{Text(1381)}));
    ASSERT_EQ(Steps().size(), 15u);
    EXPECT_STREQ(Steps().front()->StepName, "X15");
    EXPECT_EQ(StepOrigins().front(), "C14/15");
    EXPECT_EQ(StepOrigins().back(), "NULLNAME/1"); // the call without a step name
    EXPECT_EQ(Jobs()[0]->maxProcNestingLevel, 15);
    EXPECT_EQ(Jobs()[0]->procNestingLevel, 0);
}

// A procedure calling itself would nest to the depth limit with every call at every level:
// the recursive call is refused at once with 1381 and the rest of the procedure is walked.
TEST_F(DeckTest, RecursiveCallsAreRefused) {
    Proc("PROCR", {"//R1      EXEC PROCR", "//X       EXEC PGM=X"});
    EXPECT_EQ(Expand({"//JOB1    JOB  (A)", "//C       EXEC PROCR"}), TRUE);
    EXPECT_EQ(Raised(), (Ints{1381}));
    ASSERT_EQ(Steps().size(), 1u);
    EXPECT_EQ(StepOrigins().front(), "C/1");

    // An in-stream procedure calling itself, and the job going on after the call.
    EXPECT_EQ(
        Expand({"//JOB1    JOB  (A)", "//IP      PROC", "//R       EXEC IP", "//X       EXEC PGM=X",
                "//        PEND", "//C       EXEC IP", "//S       EXEC PGM=LAST"}),
        TRUE);
    EXPECT_EQ(Raised(), (Ints{1381}));
    ASSERT_EQ(Steps().size(), 2u);
    EXPECT_EQ(StepOrigins()[0], "C/1");
    EXPECT_STREQ(Steps()[1]->ExecutableName, "LAST");
    EXPECT_EQ(Jobs()[0]->procNestingLevel, 0);
}

TEST_F(DeckTest, PROCStatementAfterAnIncludeIsStillTheHeader) {
    // An INCLUDE member with any statement would clear the flag before the PROC is read.
    Member(incs_, "PINC", {});
    StatementList* list = nullptr;
    ASSERT_TRUE(CreateStmtList(&list, 0));
    JCLStatement* copy = nullptr;
    for (const StmtPtr& stmt : {MakeStatement(RD_INCLUDE, "", "INCLUDE", "MEMBER=PINC", 0, 1),
                                MakeStatement(RD_PROC, "P", "PROC", "A=DEF", 0, 2),
                                MakeStatement(RD_DD, "D", "DD", "DSN=X", 0, 3),
                                MakeStatement(RD_PROC, "P", "PROC", "C=LATE", 0, 4)})
        AddStmtToList(stmt.get(), list, &copy, 0);
    CreateList(&deck_, 0);
    RD_InputContext* context = nullptr;
    ASSERT_TRUE(BeginInputContext(&context, list, 0, 0));
    ProcessProcStatements(deck_, context, "", "JES2", 0, 0);
    EXPECT_EQ(Symbol("A"), "DEF");
    EXPECT_EQ(Symbol("C"), "<undefined>"); // after another statement a PROC is refused
    EXPECT_EQ(Raised(), (Ints{1336}));
    DeleteInputContext(context, 0);
    DeleteStmtList(list, 0);
}

TEST_F(DeckTest, CallWithoutJobLeavesTheStateAsBefore) {
    Proc("PROCA", {"//PROCA   PROC Y=2", "//        SET  Z=3", "//PS1     EXEC PGM=X"});
    CreateList(&deck_, 0);
    StatementList* list = nullptr;
    ASSERT_TRUE(CreateStmtList(&list, 0));
    ASSERT_TRUE(PushStepName("", 0, 0));
    RD_InputContext* context = nullptr;
    ASSERT_TRUE(BeginInputContext(&context, list, 0, 0));
    ASSERT_TRUE(PushContext(context, 0, 0));

    auto exec = MakeStatement(RD_EXEC, "CALL", "EXEC", "PROCA,X=1", 0, 5);
    ProcessProcInvocation(deck_, exec.get(), "", "JES2", 0, 0);
    EXPECT_EQ(Raised(), Ints{});
    EXPECT_EQ(Kinds(), (Ints{RD_STRUCT_PROC_START, RD_STRUCT_PROC_END}));
    EXPECT_EQ(StepNameStackDepth(), 1);
    EXPECT_STREQ(QueryStepName(0), "");
    EXPECT_EQ(ContextStackDepth(), 1);
    EXPECT_EQ(QueryContext(0), context);
    EXPECT_EQ(QueryProcNestingLevel(), 0);
    for (const char* name : {"X", "Y", "Z"})
        EXPECT_EQ(Symbol(name), "<undefined>") << name;
    EXPECT_TRUE(PopContext(0));
    DeleteInputContext(context, 0);
    EXPECT_TRUE(PopStepName(0, 0));
    EXPECT_TRUE(EndSymbolScope(0)); // the job scope
    DeleteStmtList(list, 0);
}

} // namespace
} // namespace kvr::test
