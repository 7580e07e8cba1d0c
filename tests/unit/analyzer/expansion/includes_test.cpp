// The include list: an INCLUDE member is built once per member with the symbol values of
// its first INCLUDE, refuses job-level statements, and one that cannot be found expands to
// nothing without being searched again.
#include "analyzer/expansion/deck_fixture.h"

namespace kvr::test {
namespace {

TEST_F(DeckTest, IncludeMemberIsBuiltOnceWithTheValuesOfItsFirstInclude) {
    Member(procs_, "INC1",
           {"//ID1 DD DSN=&V..X", "//J9 JOB", "//ID2 DD DSN=B", "//  JCLLIB ORDER=X", "//  SET W=1",
            "//  PROC", "//IE1 EXEC PGM=Z"}); // JOB, JCLLIB, PROC refused
    StatementList* job =
        ReadJob({"//J1 JOB", "//  INCLUDE MEMBER=INC1", "//  INCLUDE MEMBER=INC1"});
    ASSERT_EQ(Types(job)[2], RD_INCLUDE);
    SetScopedSymbolValue("V", "FIRST", TRUE, 0);
    StatementList* first = GetIncludeStatementList(deck_, "INC1", Stmts(job)[1], "JES2", 0, 0);
    ASSERT_NE(first, nullptr);
    // No markers at the end; an EXEC still gets its end of step in front.
    EXPECT_EQ(Types(first), (Ints{RD_DD, RD_DD, RD_SET, RD_STEP_END, RD_EXEC}));
    EXPECT_EQ(Labels(first), (Strings{"ID1", "ID2", "", "", "IE1"}));
    EXPECT_EQ(Parms(Labelled(first, "ID1")), "DSN=FIRST.X");
    EXPECT_EQ(Symbol("W"), "1"); // SET applied while reading
    EXPECT_EQ(LogLines(), (Strings{At(2, "INC1"), Text(1340), At(4, "INC1"), Text(1340),
                                   At(6, "INC1"), Text(1340)}));

    // The second INCLUDE walks the same statements: the changed value and the removed
    // member make no difference.
    std::filesystem::remove(std::filesystem::path(procs_) / "INC1");
    SetScopedSymbolValue("V", "SECOND", TRUE, 0);
    EXPECT_EQ(GetIncludeStatementList(deck_, "INC1", Stmts(job)[2], "JES2", 0, 0), first);
    EXPECT_EQ(Parms(Labelled(first, "ID1")), "DSN=FIRST.X");
    EXPECT_EQ(LogLines().size(), 6u);

    // Not found: an empty list, searched once.
    ClearLog();
    StatementList* none = GetIncludeStatementList(deck_, "NOINC", Stmts(job)[1], "JES2", 0, 0);
    ASSERT_NE(none, nullptr);
    EXPECT_TRUE(Types(none).empty());
    EXPECT_EQ(LogLines(), (Strings{At(2), Text(1309, "NOINC")}));
    EXPECT_EQ(GetIncludeStatementList(deck_, "NOINC", Stmts(job)[2], "JES2", 0, 0), none);
    EXPECT_EQ(LogLines().size(), 2u);
}

} // namespace
} // namespace kvr::test
