// JCLLIB: the ORDER libraries join the job's search list in order, with or without
// parentheses and apostrophes; a missing ORDER and a full job list are refused; a library
// named there serves the procedure search.
#include "analyzer/expansion/expansion_fixture.h"

namespace kvr {
namespace {

using test::ExpansionTest;
using Strings = std::vector<std::string>;

Strings JobLibraries() {
    Strings names;
    for (const LibraryList& entry : JobList())
        names.push_back(entry.ListedLibName);
    return names;
}

TEST_F(ExpansionTest, JcllibOrderLibrariesJoinTheJobListInOrder) {
    StatementList* job = ReadJob(
        {"//J1 JOB", "//  JCLLIB ORDER=(A.B,'C.D')", "//  JCLLIB ORDER=E.F", "//  JCLLIB PROC=X"});
    std::vector<JCLStatement*> stmts = Stmts(job);
    ASSERT_EQ(stmts.size(), 5u);
    EXPECT_EQ(ProcessJCLLIBCard(stmts[1], "SITE1", 0, 0), TRUE);
    EXPECT_EQ(JobLibraries(), (Strings{"A.B", "C.D"}));
    EXPECT_STREQ(JobList()[1].ListedSiteName, "SITE1");
    EXPECT_EQ(ProcessJCLLIBCard(stmts[2], "SITE1", 0, 0), TRUE);
    EXPECT_EQ(JobLibraries(), (Strings{"A.B", "C.D", "E.F"}));
    EXPECT_TRUE(LogLines().empty());

    EXPECT_EQ(ProcessJCLLIBCard(stmts[3], "SITE1", 0, 0), FALSE);
    EXPECT_EQ(LogLines(), (Strings{WarningAt("MEM", 4), MessageText(1368)}));
    EXPECT_EQ(JobLibraries().size(), 3u);
}

TEST_F(ExpansionTest, JcllibStopsAtTheFirstLibraryRefused) {
    for (int i = 0; i < 255; ++i)
        ASSERT_EQ(AddToJobList(("FILL.LIB" + std::to_string(i)).c_str(), "", 0, 1, 0), TRUE);
    StatementList* job = ReadJob({"//J1 JOB", "//  JCLLIB ORDER=(A.B,C.D,E.F)"});
    EXPECT_EQ(ProcessJCLLIBCard(Stmts(job)[1], "", 0, 0), FALSE);
    EXPECT_EQ(JobLibraries().back(), "A.B");
    EXPECT_EQ(LoggedNumbers(), (std::vector<int>{1470, 1305})); // C.D only: E.F is not tried
}

TEST_F(ExpansionTest, JcllibLibraryServesTheProcedureSearch) {
    const std::string lib2 = Container("LIB2");
    Member(lib2, "ONLY2", {"//O1 EXEC PGM=FROMLIB2"});
    StatementList* job =
        ReadJob({"//J1 JOB", "//  JCLLIB ORDER=('" + lib2 + "')", "//S1 EXEC ONLY2"});
    std::vector<JCLStatement*> stmts = Stmts(job);
    ASSERT_EQ(ProcessJCLLIBCard(stmts[1], "", 0, 0), TRUE);
    Call call = CallProcedure("ONLY2", Labelled(job, "S1"));
    ASSERT_NE(call.entry, nullptr);
    EXPECT_EQ(Parms(Labelled(call.list, "O1")), "PGM=FROMLIB2");
    EndCall(call);
    EXPECT_TRUE(LogLines().empty());
}

} // namespace
} // namespace kvr
