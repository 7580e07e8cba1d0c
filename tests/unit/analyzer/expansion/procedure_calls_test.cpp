// Procedure calls: the procedure name, the call's symbols, invoking step names and nesting
// levels, the depth limit, overrides after the call, recursive calls and a call made while
// no job exists.
#include "analyzer/expansion/deck_fixture.h"
#include "analyzer/expansion/hand_statement.h"
#include "expansion/deck_internal.h"
#include "expansion/symbols.h"

namespace kvr::test {
namespace {

using Ints = std::vector<int>;
using Strings = std::vector<std::string>;

std::string Symbol(const char* name) {
    char value[kSymbolValueSize] = {};
    return GetScopedSymbolValue(name, value) ? value : "<undefined>";
}

TEST_F(DeckTest, ProcedureNameIsTheFirstParameter) {
    auto plain = MakeStatement(RD_EXEC, "S", "EXEC", "PAYROLL,A=1");
    auto keyword = MakeStatement(RD_EXEC, "S", "EXEC", "PROC=PAYROLL,A=1");
    auto other = MakeStatement(RD_EXEC, "S", "EXEC", "XYZW=PAYROLL");
    auto shortKeyword = MakeStatement(RD_EXEC, "S", "EXEC", "A=B");
    auto none = MakeStatement(RD_EXEC, "S", "EXEC", nullptr);
    EXPECT_STREQ(QueryProcedureName(plain.get(), 0, 0), "PAYROLL");
    EXPECT_STREQ(QueryProcedureName(keyword.get(), 0, 0), "PAYROLL");
    // From the sixth character on, whatever the keyword.
    EXPECT_STREQ(QueryProcedureName(other.get(), 0, 0), "PAYROLL");
    // Shorter than "PROC=": the empty name, not the bytes beyond the parameter.
    EXPECT_STREQ(QueryProcedureName(shortKeyword.get(), 0, 0), "");
    EXPECT_STREQ(QueryProcedureName(none.get(), 0, 0), "");
}

TEST_F(DeckTest, CallSymbolsFromExecOverridePROCDefaults) {
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

    // Through a whole member: each call sees its own EXEC values over the defaults.
    Proc("PROCE",
         {"//PROCE   PROC A=DEFA,B=DEFB", "//PA      EXEC PGM=&A", "//PB      EXEC PGM=&B"});
    EXPECT_EQ(Expand({"//JOB1    JOB  (A)", "//C1      EXEC PROCE,A=ONE",
                      "//C2      EXEC PROCE,B=TWO,B=LATER"}),
              TRUE);
    EXPECT_EQ(Raised(), Ints{});
    Strings programs;
    for (RD_JobStep* step : Steps())
        programs.push_back(step->ExecutableName);
    EXPECT_EQ(programs, (Strings{"ONE", "DEFB", "DEFA", "TWO"}));
    EXPECT_EQ(StepOrigins(), (Strings{"C1/1", "C1/1", "C2/1", "C2/1"}));
}

TEST_F(DeckTest, StepsOfAProcedureCarryTheInvokingStepName) {
    Proc("PROCA", {"//PS1     EXEC PGM=X"});
    EXPECT_EQ(Expand({"//JOB1    JOB  (A)", "//S0      EXEC PGM=Y", "//CALL    EXEC PROCA",
                      "//        EXEC PROCA"}),
              TRUE);
    EXPECT_EQ(Raised(), Ints{});
    EXPECT_EQ(StepNames(), (Strings{"S0", "PS1", "PS1"}));
    EXPECT_EQ(StepOrigins(), (Strings{"/0", "CALL/1", "NULLNAME/1"}));
    EXPECT_EQ(Kinds(),
              (Ints{RD_STRUCT_JOB, RD_STRUCT_STEP, RD_STRUCT_PROC_START, RD_STRUCT_STEP,
                    RD_STRUCT_PROC_END, RD_STRUCT_PROC_START, RD_STRUCT_STEP, RD_STRUCT_PROC_END}));
    EXPECT_EQ(Jobs()[0]->procNestingLevel, 0);
    EXPECT_EQ(Jobs()[0]->maxProcNestingLevel, 1);
}

TEST_F(DeckTest, FifteenNestedCallsAreExpandedAndTheSixteenthIsRefused) {
    // P1 calls P2 ... P15 calls P16; each also runs a program after the call.
    for (int n = 1; n <= 16; ++n)
        Proc("P" + std::to_string(n),
             {"//C" + std::to_string(n) + "      EXEC P" + std::to_string(n + 1),
              "//X" + std::to_string(n) + "      EXEC PGM=X"});
    EXPECT_EQ(Expand({"//JOB1    JOB  (A)", "//C0      EXEC P1"}), TRUE);
    EXPECT_EQ(LogLines(), (Strings{Text(1381)}));
    Strings names;
    Strings origins;
    for (int n = 15; n >= 1; --n) {
        names.push_back("X" + std::to_string(n));
        origins.push_back("C" + std::to_string(n - 1) + "/" + std::to_string(n));
    }
    EXPECT_EQ(StepNames(), names);
    EXPECT_EQ(StepOrigins(), origins);
    Ints kinds{RD_STRUCT_JOB};
    kinds.insert(kinds.end(), 15, RD_STRUCT_PROC_START);
    for (int n = 0; n < 15; ++n) {
        kinds.push_back(RD_STRUCT_STEP);
        kinds.push_back(RD_STRUCT_PROC_END);
    }
    EXPECT_EQ(Kinds(), kinds);
    EXPECT_EQ(Jobs()[0]->maxProcNestingLevel, 15);
    EXPECT_EQ(Jobs()[0]->procNestingLevel, 0);
}

TEST_F(DeckTest, RecursiveCallsStopAtTheDepthLimitWithoutHarm) {
    Proc("PROCR", {"//R1      EXEC PROCR", "//X       EXEC PGM=X"});
    EXPECT_EQ(Expand({"//JOB1    JOB  (A)", "//C       EXEC PROCR"}), TRUE);
    EXPECT_EQ(Raised(), (Ints{1381}));
    EXPECT_EQ(Steps().size(), 15u);
    EXPECT_EQ(StepOrigins().front(), "R1/15");
    EXPECT_EQ(StepOrigins().back(), "C/1");

    // An in-stream procedure calling itself: the enclosing walks keep their statements.
    EXPECT_EQ(
        Expand({"//JOB1    JOB  (A)", "//IP      PROC", "//R       EXEC IP", "//X       EXEC PGM=X",
                "//        PEND", "//C       EXEC IP", "//S       EXEC PGM=LAST"}),
        TRUE);
    EXPECT_EQ(Raised(), (Ints{1381}));
    ASSERT_EQ(Steps().size(), 16u);
    EXPECT_EQ(StepOrigins()[0], "R/15");
    EXPECT_EQ(StepOrigins()[14], "C/1");
    EXPECT_STREQ(Steps()[15]->ExecutableName, "LAST");
}

TEST_F(DeckTest, DDAfterAProgramBelongsToTheStepAfterACallItOverrides) {
    Proc("PROCA", {"//PS1     EXEC PGM=X", "//IN      DD   DSN=PROC.IN"});
    EXPECT_EQ(Expand({"//JOB1    JOB  (A)",         //
                      "//S1      EXEC PGM=Y",       //
                      "//IN      DD   DSN=STEP.IN", //
                      "//CALL    EXEC PROCA",       //
                      "//IN      DD   DSN=OVER.IN", // no period: the first procedure step
                      "//NEW     DD   DSN=ADDED"}),
              TRUE);
    EXPECT_EQ(Raised(), Ints{});
    EXPECT_EQ(StepNames(), (Strings{"S1", "PS1"}));
    EXPECT_EQ(DDNames(StepNamed("S1")), (Strings{"IN"}));
    EXPECT_EQ(DatasetNames(DDNamed(StepNamed("S1"), "IN")), (Strings{"STEP.IN"}));
    EXPECT_EQ(DDNames(StepNamed("PS1")), (Strings{"IN", "NEW"}));
    EXPECT_EQ(DatasetNames(DDNamed(StepNamed("PS1"), "IN")), (Strings{"OVER.IN"}));
    EXPECT_EQ(DatasetNames(DDNamed(StepNamed("PS1"), "NEW")), (Strings{"ADDED"}));
}

TEST_F(DeckTest, OverridesNameProcedureStepsInAnyOrder) {
    Proc("PROCD", {"//STEP1   EXEC PGM=A", "//OUT     DD   DSN=ORIG.ONE", "//STEP2   EXEC PGM=B",
                   "//SYSIN   DD   DSN=ORIG.IN", "//OUT     DD   DSN=ORIG.TWO",
                   "//STEP3   EXEC PGM=C", "//OUT     DD   DSN=ORIG.THREE"});
    EXPECT_EQ(Expand({"//JOB1    JOB  (A)", "//CALL    EXEC PROCD", "//STEP3.OUT DD DSN=NEW.THREE",
                      "//STEP1.OUT DD DSN=NEW.ONE", "//STEP2.SYSIN DD *", "DATA LINE", "/*",
                      "//AFTER   EXEC PGM=Z", "//OUT     DD   DSN=AFTER.OUT"}),
              TRUE);
    EXPECT_EQ(Raised(), Ints{});
    EXPECT_EQ(StepNames(), (Strings{"STEP1", "STEP2", "STEP3", "AFTER"}));
    EXPECT_EQ(DatasetNames(DDNamed(StepNamed("STEP1"), "OUT")), (Strings{"NEW.ONE"}));
    EXPECT_EQ(DatasetNames(DDNamed(StepNamed("STEP2"), "OUT")), (Strings{"ORIG.TWO"}));
    EXPECT_EQ(DatasetNames(DDNamed(StepNamed("STEP3"), "OUT")), (Strings{"NEW.THREE"}));
    // //STEP2.SYSIN DD * gives the procedure's SYSIN the in-stream data.
    auto sysin = Concat(DDNamed(StepNamed("STEP2"), "SYSIN"));
    ASSERT_EQ(sysin.size(), 1u);
    EXPECT_STREQ(sysin[0]->DatasetName, "");
    EXPECT_NE(sysin[0]->inStreamData, nullptr);
    // The next EXEC ends the overrides: its DD is an ordinary step DD.
    EXPECT_EQ(DDNames(StepNamed("AFTER")), (Strings{"OUT"}));
    EXPECT_EQ(DDNames(StepNamed("STEP1")), (Strings{"OUT"}));
}

TEST_F(DeckTest, PROCStatementAfterAnIncludeIsStillTheHeader) {
    // An INCLUDE member with any statement would clear the flag before the PROC is read.
    Include("PINC", {});
    StatementList* list = nullptr;
    ASSERT_TRUE(CreateStmtList(&list, 0));
    JCLStatement* copy = nullptr;
    auto include = MakeStatement(RD_INCLUDE, "", "INCLUDE", "MEMBER=PINC", 0, 1);
    auto proc = MakeStatement(RD_PROC, "P", "PROC", "A=DEF", 0, 2);
    auto dd = MakeStatement(RD_DD, "D", "DD", "DSN=X", 0, 3);
    auto late = MakeStatement(RD_PROC, "P", "PROC", "C=LATE", 0, 4);
    for (JCLStatement* stmt : {include.get(), proc.get(), dd.get(), late.get()})
        AddStmtToList(stmt, list, &copy, 0);
    InitializeFields(0);
    CreateList(&deck_, 0);
    ASSERT_TRUE(BeginSymbolScope(0, 0));
    RD_InputContext* context = nullptr;
    ASSERT_TRUE(BeginInputContext(&context, list, 0, 0));
    ProcessProcStatements(deck_, context, "", "JES2", 0, 0);
    EXPECT_EQ(Symbol("A"), "DEF");
    // After another statement a PROC is refused.
    EXPECT_EQ(Symbol("C"), "<undefined>");
    EXPECT_EQ(Raised(), (Ints{1336}));
    DeleteInputContext(context, 0);
    EXPECT_TRUE(EndSymbolScope(0));
    DeleteStmtList(list, 0);
}

TEST_F(DeckTest, CallWithoutJobLeavesTheStateAsBefore) {
    Proc("PROCA", {"//PROCA   PROC Y=2", "//        SET  Z=3", "//PS1     EXEC PGM=X"});
    InitializeFields(0);
    CreateList(&deck_, 0);
    StatementList* list = nullptr;
    ASSERT_TRUE(CreateStmtList(&list, 0));
    ASSERT_TRUE(BeginSymbolScope(0, 0));
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
    EXPECT_EQ(Symbol("X"), "<undefined>");
    EXPECT_EQ(Symbol("Y"), "<undefined>");
    EXPECT_EQ(Symbol("Z"), "<undefined>");

    EXPECT_TRUE(PopContext(0));
    DeleteInputContext(context, 0);
    EXPECT_TRUE(PopStepName(0, 0));
    EXPECT_TRUE(EndSymbolScope(0));
    DeleteStmtList(list, 0);
}

} // namespace
} // namespace kvr::test
