// The Velkor mode's detail records: apostrophe strings (doubled apostrophes, no closing
// one), a text that cannot be split, and the keyword table. The records of well-formed
// DISP, SPACE, DCB, VOL and LABEL texts: velkor_dd_details, velkor_dd_detail_forms.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analyzer/statement_test_support.h"
#include "output/velkor_dd_details.h"

namespace kvr {
namespace {

// Every scan ends with its text, whatever apostrophes it holds.
TEST(VelkorDDDetails, ApostropheStrings) {
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"DISP=('A'')B',(C,D))", {"DD PRMn DISP ('A'')B',(C,D))", "DD DSP3 'A'')B' (C,D)"}},
        {"DISP=(MOD,'KEEP", {"DD PRMn DISP (MOD,'KEEP", "DD DSP3 MOD 'KEEP"}},
        {"DCB=(A,LRECL='8", {"DD PRMn DCB (A,LRECL='8", "DD PRMn MODNAME A", "DD PRMn LRECL '8"}},
        {"SPACE=(TRK,(1", {"DD PRMn SPACE (TRK,(1", "DD SPC4 TRK 1"}}};
    for (const auto& [parms, records] : cases) {
        test::MessageRecorder recorder;
        test::TestMember member;
        member.run.mode = kModeVelkor;
        const int32_t blocks = test::BlocksOutstanding();
        PutVelkorDDParmDetails(member.ctx, parms);
        EXPECT_EQ(recorder.ImportLines(), records) << parms;
        EXPECT_EQ(test::BlocksOutstanding(), blocks) << parms;
    }
}

TEST(VelkorDDDetails, TextThatCannotBeSplitWritesNothing) {
    test::MessageRecorder recorder;
    test::VelkorCatalog velkor;
    test::TestMember member;
    member.run.mode = kModeVelkor;
    const int32_t blocks = test::BlocksOutstanding();
    const std::string nested = "DISP=" + std::string(25, '(') + "NEW";
    PutVelkorDDParmDetails(member.ctx, nested.c_str());
    PutVelkorDDParmDetails(member.ctx, nullptr);
    EXPECT_TRUE(recorder.ImportLines().empty());
    EXPECT_EQ(recorder.Count("VAD3063E"), 1);
    EXPECT_EQ(test::BlocksOutstanding(), blocks);
}

TEST(VelkorDDDetails, KeywordTable) {
    // The ends of the table, the entries around its alphabetical oddities, and a sample.
    const char* keywords[] = {"ACCODE", "AMP",  "DSNAME", "DSN",      "DSNTYPE", "REFDD",
                              "REF",    "SER",  "SPACE",  "SYSOUT",   "VOLUME",  "VOL",
                              "DCB",    "DISP", "LRECL",  "STORCLAS", "TRTCH",   "UCS"};
    for (const char* keyword : keywords) {
        EXPECT_TRUE(IsDDKeyword(keyword)) << keyword;
        std::string lower(keyword);
        for (char& ch : lower)
            ch = static_cast<char>(ch - 'A' + 'a');
        EXPECT_FALSE(IsDDKeyword(lower.c_str())) << lower;
    }
    for (const char* nearMiss :
         {"DS", "DSNAM", "VOLUMES", "VO", "DSN ", " DSN", "Dsn", "", "PGM", "MODNAME"})
        EXPECT_FALSE(IsDDKeyword(nearMiss)) << nearMiss;
    EXPECT_FALSE(IsDDKeyword(nullptr));
}

} // namespace
} // namespace kvr
