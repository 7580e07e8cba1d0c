// Run units of region controllers: the PARM copy without parentheses and apostrophes,
// and the names a region controller PARM gives (program, PSB, region) by region type,
// with the asterisk rule of BMPRRC00 and its relatives.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "analyzer/statement_test_support.h"
#include "rununits/run_units.h"
#include "rununits/run_units_internal.h"

namespace kvr::test {
namespace {

using Opt = std::optional<std::string>;

TEST(CopyParmText, ParenthesesAndApostrophesAroundTheValueGo) {
    struct Case {
        const char* text;
        BOOLEAN removeApost;
        const char* expected;
    };
    const Case cases[] = {
        {"'DLI,PGM1,PSB1'", TRUE, "DLI,PGM1,PSB1"},
        {"(DLI,PGM1,PSB1)", TRUE, "DLI,PGM1,PSB1"},
        {"('DLI,PGM1')", TRUE, "DLI,PGM1"},
        // Cut at the first apostrophe, whether one was skipped or not.
        {"DLI,P'X,Y", TRUE, "DLI,P"},
        {"(A,'B)C')", TRUE, "A,"},
        {"(ABC)", FALSE, "ABC"},
        {"ABC", FALSE, "ABC"},
        // Cut at the last ")" only when a "(" was dropped.
        {"(A(B)C)X", FALSE, "A(B)C"},
        {"(ABC", FALSE, "ABC"},
        {"ABC)", FALSE, "ABC)"},
        {"('ABC')", FALSE, "'ABC'"},
        {"", FALSE, ""},
        {"'", TRUE, ""},
        {"(", TRUE, ""},
    };
    TestMember member;
    const int32_t before = BlocksOutstanding();
    for (const Case& c : cases) {
        char* copy = CopyParmText(member.ctx, c.text, c.removeApost);
        ASSERT_NE(copy, nullptr) << c.text;
        EXPECT_STREQ(copy, c.expected) << c.text << " removeApost=" << int(c.removeApost);
        FreeString(copy, 0);
    }
    char* none = CopyParmText(member.ctx, nullptr, TRUE);
    EXPECT_STREQ(none, "");
    FreeString(none, 0);
    EXPECT_EQ(BlocksOutstanding(), before);
}

// Positional parameters 4 to 13 of a PARM, then the 14th.
std::string FourteenParms(const char* type, const char* fourteenth) {
    return std::string(type) + ",PGM1,PSB1,4,5,6,7,8,9,10,11,R12,13," + fourteenth;
}

TEST(RegionControllerParm, NamesByRegionTypeAndAsteriskRule) {
    struct Case {
        std::string parm;
        BOOLEAN useAsterisk;
        bool complete;
        Opt program;
        Opt psb;
        Opt region;
        bool psbDefaulted;
    };
    const Case cases[] = {
        {"'DLI,PGM1,PSB1'", FALSE, true, "PGM1", "PSB1", std::nullopt, false},
        {"(" + FourteenParms("BMP", "IMSA") + ")", FALSE, true, "PGM1", "PSB1", "IMSA", false},
        // Other region types take the 12th parameter.
        {FourteenParms("DLI", "IMSA"), FALSE, true, "PGM1", "PSB1", "R12", false},
        {"'BMP,PGM1,PSB1,4,5,6,7,8,9,10,11,R12,13'", FALSE, true, "PGM1", "PSB1", std::nullopt,
         false},
        {"'UDR,PGM1'", FALSE, true, "PGM1", std::nullopt, std::nullopt, false},
        {"'ULU,PGM1,PSB9'", FALSE, true, "PGM1", std::nullopt, std::nullopt, false},
        {"'DLI,PGM1'", FALSE, true, "PGM1", "PGM1", std::nullopt, true},
        // An omitted PSB is there, empty.
        {"'DLI,PGM1,,'", FALSE, true, "PGM1", "", std::nullopt, false},
        {"'DLI'", FALSE, false, std::nullopt, std::nullopt, std::nullopt, false},
        {"", FALSE, false, std::nullopt, std::nullopt, std::nullopt, false},
        // An empty program name is as good as none.
        {"'DLI,,PSB1'", FALSE, false, "", std::nullopt, std::nullopt, false},
        // The asterisk ends the list only with the asterisk rule.
        {"'BMP,PGM1*,PSB1'", TRUE, true, "PGM1", "PGM1", std::nullopt, true},
        {"'BMP,PGM1*,PSB1'", FALSE, true, "PGM1*", "PSB1", std::nullopt, false},
        {"'BMP,*PGM1,PSB1'", TRUE, false, std::nullopt, std::nullopt, std::nullopt, false},
        {FourteenParms("BMP", "*IMSA"), TRUE, true, "PGM1", "PSB1", std::nullopt, false},
    };
    TestMember member;
    const int32_t before = BlocksOutstanding();
    for (const Case& c : cases) {
        const RegionControllerParm parm =
            ParseRegionControllerParm(member.ctx, c.parm.c_str(), c.useAsterisk);
        EXPECT_EQ(HasRegionTypeAndProgram(parm), c.complete) << c.parm;
        EXPECT_EQ(parm.program, c.program) << c.parm;
        EXPECT_EQ(parm.psb, c.psb) << c.parm;
        EXPECT_EQ(parm.region, c.region) << c.parm;
        EXPECT_EQ(parm.psbDefaulted, c.psbDefaulted) << c.parm;
    }
    EXPECT_EQ(BlocksOutstanding(), before);
}

} // namespace
} // namespace kvr::test
