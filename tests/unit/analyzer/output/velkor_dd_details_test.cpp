// The Velkor mode's detail records of a DD's parameter text: DISP and SPACE subparameters,
// DCB model names and subkeywords, unknown keywords, malformed texts; and the keyword table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analyzer/statement_test_support.h"
#include "driver/run_settings.h"
#include "output/velkor_dd_details.h"

namespace kvr {
namespace {

using Lines = std::vector<std::string>;

struct DetailCase {
    const char* parms;
    Lines records;
};

TEST(VelkorDDDetails, RecordsOfParameterTexts) {
    const DetailCase cases[] = {
        {"DISP=(,CATLG)", {"DD PRMn DISP (,CATLG)", "DD DSP3 NEW CATLG"}},
        {"DISP=SHR", {"DD PRMn DISP SHR", "DD DSP3"}},
        {"DISP=(OLD,DELETE,KEEP,X)",
         {"DD PRMn DISP (OLD,DELETE,KEEP,X)", "DD DSP3 OLD DELETE KEEP"}},
        {"DISP=('A'')B',(C,D))", {"DD PRMn DISP ('A'')B',(C,D))", "DD DSP3 'A'')B' (C,D)"}},
        {"SPACE=(TRK,(10,5))", {"DD PRMn SPACE (TRK,(10,5))", "DD SPC4 TRK 10 5"}},
        {"SPACE=(CYL,(10,5,20),RLSE)",
         {"DD PRMn SPACE (CYL,(10,5,20),RLSE)", "DD SPC4 CYL 10 5 20"}},
        {"SPACE=(CYL,(1,1),RLSE)", {"DD PRMn SPACE (CYL,(1,1),RLSE)", "DD SPC4 CYL 1 1 RLSE"}},
        {"DCB=(RECFM=FB,LRECL=80)",
         {"DD PRMn DCB (RECFM=FB,LRECL=80)", "DD PRMn RECFM FB", "DD PRMn LRECL 80"}},
        {"DCB=MODEL.DSN", {"DD PRMn DCB MODEL.DSN", "DD PRMn MODNAME MODEL.DSN"}},
        {"DCB=(MODEL.DSN)", {"DD PRMn DCB (MODEL.DSN)", "DD PRMn MODNAME MODEL.DSN"}},
        {"DCB=(MODEL.DSN,LRECL=80,BUFNO=(5))",
         {"DD PRMn DCB (MODEL.DSN,LRECL=80,BUFNO=(5))", "DD PRMn MODNAME MODEL.DSN",
          "DD PRMn LRECL 80", "DD PRMn BUFNO (5)"}},
        {"DCB=LRECL=80", {"DD PRMn DCB LRECL=80", "DD PRMn LRECL 80"}},
        {"DCB=(BLKSIZE=800)", {"DD PRMn DCB (BLKSIZE=800)", "DD PRMn BLKSIZE 800"}},
        {"DCB=(XYZ=1)", {"DD PRMn DCB (XYZ=1)"}},
        {"DCB=(RECFM=FB,XYZ=1,LRECL=80)",
         {"DD PRMn DCB (RECFM=FB,XYZ=1,LRECL=80)", "DD PRMn RECFM FB"}},
        {"VOL=SER=(A,B),UNIT=SYSDA",
         {"DD PRMn VOL SER=(A,B)", "DD PRMn SER (A,B)", "DD PRMn UNIT SYSDA"}},
        {",DUMMY,FOO=1,dsn=a,=X,DSN=A.B", {"DD PRM1 ", "DD PRM1 DUMMY", "DD PRMn DSN A.B"}},
        // Malformed texts: every scan ends with its text.
        {"DISP=(", {"DD PRMn DISP (", "DD DSP3 NEW"}},
        {"DISP=(MOD,'KEEP", {"DD PRMn DISP (MOD,'KEEP", "DD DSP3 MOD 'KEEP"}},
        {"SPACE=(TRK,(1", {"DD PRMn SPACE (TRK,(1", "DD SPC4 TRK 1"}},
        {"DCB=(RECFM=(FB", {"DD PRMn DCB (RECFM=(FB"}},
        {"DCB=(A,LRECL='8", {"DD PRMn DCB (A,LRECL='8", "DD PRMn MODNAME A", "DD PRMn LRECL '8"}},
        {"DISP=,SPACE=,DCB=",
         {"DD PRMn DISP ", "DD DSP3", "DD PRMn SPACE ", "DD SPC4", "DD PRMn DCB ",
          "DD PRMn MODNAME "}},
        {"LABEL=EXPDT=", {"DD PRMn LABEL EXPDT=", "DD PRMn EXPDT "}},
        {"", {}},
    };
    for (const DetailCase& c : cases) {
        test::MessageRecorder recorder;
        const int32_t blocks = test::BlocksOutstanding();
        PutVelkorDDParmDetails(c.parms, kModeVelkor, 0);
        EXPECT_EQ(recorder.ImportLines(), c.records) << c.parms;
        EXPECT_EQ(test::BlocksOutstanding(), blocks) << c.parms;
        EXPECT_TRUE(recorder.Ids().empty()) << c.parms;
    }
}

TEST(VelkorDDDetails, TextThatCannotBeSplitWritesNothing) {
    test::MessageRecorder recorder;
    test::VelkorCatalog velkor;
    const int32_t blocks = test::BlocksOutstanding();
    const std::string nested = "DISP=" + std::string(25, '(') + "NEW";
    PutVelkorDDParmDetails(nested.c_str(), kModeVelkor, 0);
    PutVelkorDDParmDetails(nullptr, kModeVelkor, 0);
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
