// INCLUDE statements in the walk: the missing or empty MEMBER value, MEMBER=(name), the
// nesting limit of 16 lists and a member that includes itself.
#include "analyzer/expansion/deck_fixture.h"
#include "expansion/deck_internal.h"

namespace kvr::test {
namespace {

TEST_F(DeckTest, IncludeMemberNamesAndTheNestingLimit) {
    Member(incs_, "INCA", {"//DDA     DD   DSN=A.A"});
    const Strings member = {"//JOB1    JOB  (A)",
                            "//S1      EXEC PGM=P",
                            "//        INCLUDE MEMBER=",
                            "//        INCLUDE", // 3, 4
                            "//        INCLUDE MEMBER=(INCA)",
                            "//DDB     DD   DSN=B.B",
                            "//        INCLUDE MEMBER=INCA"};
    EXPECT_EQ(Expand(member), TRUE);
    EXPECT_EQ(LogLines(), (Strings{At(3), Text(1421), At(4), Text(1421)}));
    EXPECT_EQ(DDNames(StepNamed("S1")), (Strings{"DDA", "DDB", "DDA"}));
    EXPECT_EQ(Expand(member, kModeVelkor), TRUE); // the same number in Velkor mode
    EXPECT_EQ(Raised(), (Ints{1421, 1421}));

    // INCn holds DDn and includes INCn+1: the job list and 15 include lists fill the
    // context, INC16 is not pushed.
    Strings names;
    for (int n = 1; n <= 16; ++n) {
        const std::string num = std::to_string(n);
        Member(incs_, "INC" + num,
               {"//DD" + num + "    DD   DSN=DS.D" + num,
                "//        INCLUDE MEMBER=INC" + std::to_string(n + 1)});
        if (n < 16) names.push_back("DD" + num);
    }
    names.push_back("LAST");
    EXPECT_EQ(Expand({"//JOB1    JOB  (A)", "//S1      EXEC PGM=P", "//        INCLUDE MEMBER=INC1",
                      "//LAST    DD   DSN=DS.LAST"}),
              TRUE);
    EXPECT_EQ(LogLines(), (Strings{Text(1350)}));
    EXPECT_EQ(DDNames(StepNamed("S1")), names);
}

// A member including itself twice would be walked 2^15 times before the limit stops it:
// each INCLUDE of a member already being read is refused at once, at its own line.
TEST_F(DeckTest, MemberIncludingItselfIsRefused) {
    Member(incs_, "SELF",
           {"//DDS     DD   DSN=DS.SELF", "//        INCLUDE MEMBER=SELF",
            "//        INCLUDE MEMBER=(SELF)"});
    EXPECT_EQ(Expand({"//JOB1    JOB  (A)", "//S1      EXEC PGM=P", "//        INCLUDE MEMBER=SELF",
                      "//LAST    DD   DSN=DS.LAST"}),
              TRUE);
    EXPECT_EQ(Raised(), (Ints{1350, 1350}));
    EXPECT_EQ(DDNames(StepNamed("S1")), (Strings{"DDS", "LAST"}));
}

} // namespace
} // namespace kvr::test
