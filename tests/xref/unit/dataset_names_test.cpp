#include "dataset_names.h"

#include <gtest/gtest.h>

namespace xref {
namespace {

TEST(GenerationFolding, RelativeGenerationsFoldToTheBase) {
    for (const char* name : {"A.B(+1)", "A.B(0)", "A.B(-1)", "A.B(+0)", "A.B(-12)", "A.B(3)"}) {
        const FoldedName folded = FoldGeneration(name);
        EXPECT_EQ(folded.base, "A.B") << name;
        EXPECT_EQ(WithGeneration(folded.base, folded.generation), name);
    }
    EXPECT_EQ(FoldGeneration("A.B(+1)").generation, "+1");
    EXPECT_EQ(FoldGeneration("A.B(0)").generation, "0");
}

TEST(GenerationFolding, OtherNamesStayWhole) {
    // A member of a library, an absolute generation, a sign without digits, a bare name.
    for (const char* name : {"A.LOAD(MOD01)", "A.B.G0001V00", "A.B(+)", "A.B()", "A.B", "A.B(+1A)",
                             "(+1)", "&&TEMP", "/u/a(1)x"}) {
        const FoldedName folded = FoldGeneration(name);
        EXPECT_EQ(folded.base, name);
        EXPECT_EQ(folded.generation, "") << name;
    }
}

TEST(TemporaryNames, AmpersandNamesLiveInTheirJob) {
    EXPECT_TRUE(IsTemporary("&&TEMP"));
    EXPECT_TRUE(IsTemporary("&&PAYJOB.STEP1.120000"));
    EXPECT_TRUE(IsTemporary("&WORK"));
    EXPECT_FALSE(IsTemporary("PROD.A&B"));
    EXPECT_FALSE(IsTemporary(""));
}

struct PatternCase {
    const char* pattern;
    const char* name;
    bool matches;
};

TEST(DatasetPatterns, QualifierWildcards) {
    const PatternCase cases[] = {
        {"PROD.PAY.*", "PROD.PAY.EXTRACT", true},
        {"PROD.PAY.*", "PROD.PAY", false},             // * stands for one qualifier
        {"PROD.PAY.*", "PROD.PAY.EXTRACT.OLD", false}, // ... and only one
        {"PROD.PAY.*", "PROD.PAYX.EXTRACT", false},
        {"PROD.PAY*.X", "PROD.PAYROLL.X", true},
        {"PROD.PAY*.X", "PROD.PAY.X", true}, // * may stand for nothing
        {"PROD.*PAY*.X", "PROD.MYPAYS.X", true},
        {"PROD.P%Y.X", "PROD.PAY.X", true},
        {"PROD.P%Y.X", "PROD.PY.X", false}, // % is exactly one character
        {"PROD.P%Y.X", "PROD.PAAY.X", false},
        {"PROD.%", "PROD.A", true},
        {"PROD.%", "PROD..", false}, // % never stands for the dot
        {"PROD.*", "PROD.A.B", false},
        {"*.PAY.EXTRACT", "PROD.PAY.EXTRACT", true},
        {"PROD.LOAD*", "PROD.LOAD(MOD0573)", true}, // the member is part of the last qualifier
    };
    for (const PatternCase& c : cases)
        EXPECT_EQ(DatasetPattern(c.pattern).Matches(c.name), c.matches)
            << c.pattern << " against " << c.name;
}

TEST(DatasetPatterns, DoubleAsteriskSpansQualifiers) {
    const PatternCase cases[] = {
        {"PROD.**", "PROD.A", true},
        {"PROD.**", "PROD.A.B.C", true},
        {"PROD.**", "PROD", true}, // none included
        {"PROD.**", "PRODX.A", false},
        {"PROD.**.OUT", "PROD.OUT", true},
        {"PROD.**.OUT", "PROD.A.B.OUT", true},
        {"PROD.**.OUT", "PROD.A.B.OUTX", false},
        {"**.OUT", "A.OUT", true},
        {"**", "ANY.NAME.AT.ALL", true},
        {"A.**.B.**.C", "A.X.B.Y.Z.C", true},
        {"A.**.B.**.C", "A.X.Y.C", false},
    };
    for (const PatternCase& c : cases)
        EXPECT_EQ(DatasetPattern(c.pattern).Matches(c.name), c.matches)
            << c.pattern << " against " << c.name;
}

TEST(DatasetPatterns, ManyWildcardsStayFast) {
    // Backtracking over every way to place the stars would take ages here.
    const std::string name(200, 'A');
    EXPECT_FALSE(DatasetPattern("*A*A*A*A*A*A*A*A*A*A*A*A*A*A*A*B").Matches(name));
    EXPECT_TRUE(DatasetPattern("*A*A*A*A*A*A*A*A*A*A*A*A*A*A*A*A").Matches(name));
    std::string deep = "Q";
    for (int i = 0; i < 40; ++i)
        deep += ".Q";
    EXPECT_FALSE(DatasetPattern("**.Q.**.Q.**.Q.**.Q.**.Q.**.Q.**.Z").Matches(deep));
    EXPECT_TRUE(DatasetPattern("**.Q.**.Q.**.Q.**.Q.**.Q.**.Q.**").Matches(deep));
}

TEST(DatasetPatterns, PlainNamesMatchOnlyThemselves) {
    const DatasetPattern plain("PROD.PAY.EXTRACT");
    EXPECT_FALSE(plain.HasWildcards());
    EXPECT_TRUE(plain.Matches("PROD.PAY.EXTRACT"));
    EXPECT_FALSE(plain.Matches("PROD.PAY.EXTRACTX"));
    EXPECT_FALSE(plain.Matches("PROD.PAY"));
}

TEST(DatasetPatterns, LiteralPrefixBoundsTheSearch) {
    EXPECT_EQ(DatasetPattern("PROD.PAY.*").LiteralPrefix(), "PROD.PAY.");
    EXPECT_EQ(DatasetPattern("PROD.P%Y").LiteralPrefix(), "PROD.P");
    // PROD.** also matches PROD, which does not start with "PROD.".
    EXPECT_EQ(DatasetPattern("PROD.**").LiteralPrefix(), "PROD");
    EXPECT_EQ(DatasetPattern("**.OUT").LiteralPrefix(), "");
    EXPECT_EQ(PrefixUpperBound("PROD."), "PROD/");
    EXPECT_EQ(PrefixUpperBound("A\xff"), "B");
    EXPECT_EQ(PrefixUpperBound(""), "");
}

} // namespace
} // namespace xref
