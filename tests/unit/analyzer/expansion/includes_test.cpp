// The include list: an INCLUDE member is built once per member with the symbol values of
// its first INCLUDE, refuses job-level statements, and one that cannot be found expands to
// nothing without being searched again.
#include "analyzer/expansion/expansion_fixture.h"

namespace kvr {
namespace {

using test::ExpansionTest;
using TypeList = std::vector<int>;
using Strings = std::vector<std::string>;

TEST_F(ExpansionTest, IncludeMemberIsBuiltOnceWithTheValuesOfItsFirstInclude) {
    Member(procs_, "INC1",
           {"//ID1 DD DSN=&V..X", // 1
            "//J9 JOB",           // 2 refused
            "//ID2 DD DSN=B",     // 3
            "//  JCLLIB ORDER=X", // 4 refused
            "//  SET W=1",        // 5
            "//  PROC",           // 6 refused
            "//IE1 EXEC PGM=Z"}); // 7
    StatementList* job =
        ReadJob({"//J1 JOB", "//  INCLUDE MEMBER=INC1", "//  INCLUDE MEMBER=INC1"});
    std::vector<JCLStatement*> includes;
    for (JCLStatement* stmt : Stmts(job))
        if (stmt->StatementType == RD_INCLUDE) includes.push_back(stmt);
    ASSERT_EQ(includes.size(), 2u);

    SetScopedSymbolValue("V", "FIRST", TRUE, 0);
    StatementList* first = GetIncludeStatementList(deck_, "INC1", includes[0], "JES2", 0, 0);
    ASSERT_NE(first, nullptr);
    // No markers at the end; an EXEC still gets its end of step in front.
    EXPECT_EQ(Types(first), (TypeList{RD_DD, RD_DD, RD_SET, RD_STEP_END, RD_EXEC}));
    EXPECT_EQ(Labels(first), (Strings{"ID1", "ID2", "", "", "IE1"}));
    EXPECT_EQ(Parms(Labelled(first, "ID1")), "DSN=FIRST.X");
    EXPECT_EQ(SymbolValue("W"), "1"); // SET applied while reading
    EXPECT_EQ(LogLines(), (Strings{WarningAt("INC1", 2), MessageText(1340), WarningAt("INC1", 4),
                                   MessageText(1340), WarningAt("INC1", 6), MessageText(1340)}));

    // The second INCLUDE walks the same statements: the changed value and the removed
    // member make no difference.
    std::filesystem::remove(std::filesystem::path(procs_) / "INC1");
    SetScopedSymbolValue("V", "SECOND", TRUE, 0);
    StatementList* second = GetIncludeStatementList(deck_, "INC1", includes[1], "JES2", 0, 0);
    EXPECT_EQ(second, first);
    EXPECT_EQ(Parms(Labelled(second, "ID1")), "DSN=FIRST.X");
    EXPECT_EQ(LogLines().size(), 6u);
}

TEST_F(ExpansionTest, IncludeMemberNotFoundExpandsToNothing) {
    StatementList* job = ReadJob({"//J1 JOB", "//  INCLUDE MEMBER=NOINC"});
    JCLStatement* include = Stmts(job)[1];
    ASSERT_EQ(include->StatementType, RD_INCLUDE);
    StatementList* first = GetIncludeStatementList(deck_, "NOINC", include, "JES2", 0, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(Types(first).empty());
    char notFound[512] = {};
    KVRGetMessageText(notFound, 1309, "NOINC", nullptr, nullptr, nullptr);
    EXPECT_EQ(LogLines(), (Strings{WarningAt("MEM", 2), notFound}));
    EXPECT_EQ(GetIncludeStatementList(deck_, "NOINC", include, "JES2", 0, 0), first);
    EXPECT_EQ(LogLines().size(), 2u);
}

} // namespace
} // namespace kvr
