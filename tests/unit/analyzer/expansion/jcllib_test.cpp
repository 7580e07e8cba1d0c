// JCLLIB: the ORDER libraries join the job's search list in order, with or without
// parentheses and apostrophes; a missing ORDER and a full job list are refused.
#include "analyzer/expansion/deck_fixture.h"

namespace kvr::test {
namespace {

Strings JobLibraries() {
    Strings names;
    for (const LibraryList& entry : JobList())
        names.push_back(entry.ListedLibName);
    return names;
}

TEST_F(DeckTest, JcllibOrderLibrariesJoinTheJobListInOrder) {
    std::vector<JCLStatement*> stmts = Stmts(ReadJob(
        {"//J1 JOB", "//  JCLLIB ORDER=(A.B,'C.D')", "//  JCLLIB ORDER=E.F", "//  JCLLIB PROC=X"}));
    ASSERT_EQ(stmts.size(), 5u);
    EXPECT_EQ(ProcessJCLLIBCard(stmts[1], "SITE1", 0, 0), TRUE);
    EXPECT_STREQ(JobList()[1].ListedSiteName, "SITE1");
    EXPECT_EQ(ProcessJCLLIBCard(stmts[2], "SITE1", 0, 0), TRUE);
    EXPECT_EQ(JobLibraries(), (Strings{"A.B", "C.D", "E.F"}));
    EXPECT_TRUE(LogLines().empty());
    EXPECT_EQ(ProcessJCLLIBCard(stmts[3], "SITE1", 0, 0), FALSE);
    EXPECT_EQ(LogLines(), (Strings{At(4), Text(1368)}));
    EXPECT_EQ(JobLibraries().size(), 3u);
}

TEST_F(DeckTest, JcllibStopsAtTheFirstLibraryRefused) {
    for (int i = 0; i < 255; ++i)
        ASSERT_EQ(AddToJobList(("FILL.LIB" + std::to_string(i)).c_str(), "", 0, 1, 0), TRUE);
    StatementList* job = ReadJob({"//J1 JOB", "//  JCLLIB ORDER=(A.B,C.D,E.F)"});
    EXPECT_EQ(ProcessJCLLIBCard(Stmts(job)[1], "", 0, 0), FALSE);
    EXPECT_EQ(JobLibraries().back(), "A.B");
    EXPECT_EQ(Raised(), (Ints{1305})); // C.D only: E.F is not tried
}

} // namespace
} // namespace kvr::test
