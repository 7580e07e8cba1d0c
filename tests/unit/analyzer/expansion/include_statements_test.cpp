// INCLUDE statements in the walk: the missing or empty MEMBER value, MEMBER=(name),
// the included statements standing in place, and the nesting limit of 16 lists.
#include "analyzer/expansion/deck_fixture.h"
#include "expansion/deck_internal.h"

namespace kvr::test {
namespace {

using Ints = std::vector<int>;
using Strings = std::vector<std::string>;

TEST_F(DeckTest, IncludedStatementsStandInPlaceOfTheInclude) {
    Include("INCA", {"//DDA     DD   DSN=A.A"});
    const std::vector<std::string> member = {"//JOB1    JOB  (A)",              // 1
                                             "//S1      EXEC PGM=P",            // 2
                                             "//        INCLUDE MEMBER=",       // 3
                                             "//        INCLUDE",               // 4
                                             "//        INCLUDE MEMBER=(INCA)", // 5
                                             "//DDB     DD   DSN=B.B",          // 6
                                             "//        INCLUDE MEMBER=INCA"};  // 7
    EXPECT_EQ(Expand(member), TRUE);
    EXPECT_EQ(LogLines(), (Strings{At(3), Text(1421), At(4), Text(1421)}));
    EXPECT_EQ(DDNames(StepNamed("S1")), (Strings{"DDA", "DDB", "DDA"}));

    // The same number in Velkor mode.
    EXPECT_EQ(Expand(member, kModeVelkor), TRUE);
    EXPECT_EQ(Raised(), (Ints{1421, 1421}));
    EXPECT_EQ(DDNames(StepNamed("S1")), (Strings{"DDA", "DDB", "DDA"}));
}

TEST_F(DeckTest, FifteenNestedIncludesAreReadAndTheSixteenthIsSkipped) {
    // INCn holds DDn and includes INCn+1.
    for (int n = 1; n <= 16; ++n)
        Include("INC" + std::to_string(n),
                {"//DD" + std::to_string(n) + "    DD   DSN=DS.D" + std::to_string(n),
                 "//        INCLUDE MEMBER=INC" + std::to_string(n + 1)});
    EXPECT_EQ(Expand({"//JOB1    JOB  (A)", "//S1      EXEC PGM=P", "//        INCLUDE MEMBER=INC1",
                      "//LAST    DD   DSN=DS.LAST"}),
              TRUE);
    // The job list and 15 include lists fill the context; INC16 is not pushed.
    EXPECT_EQ(LogLines(), (Strings{Text(1350)}));
    Strings names;
    for (int n = 1; n <= 15; ++n)
        names.push_back("DD" + std::to_string(n));
    names.push_back("LAST");
    EXPECT_EQ(DDNames(StepNamed("S1")), names);
}

} // namespace
} // namespace kvr::test
