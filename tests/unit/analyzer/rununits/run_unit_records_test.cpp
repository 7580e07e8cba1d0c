// The records and messages of region controller steps in Velkor mode, and the run unit of
// a PARM whose program is empty (a run unit without a name would be unusable).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analyzer/job_model_fixture.h"
#include "analyzer/statement_test_support.h"
#include "driver/run_settings.h"
#include "rununits/run_units.h"

namespace kvr::test {
namespace {

using Strings = std::vector<std::string>;

class RunUnitRecordTest : public JobModelTest {
  protected:
    // The import lines written for the step's run unit.
    Strings RunUnitOf(const char* stepName, int16_t mode) {
        const size_t before = recorder.ImportLines().size();
        RD_JobStep* step = Step(stepName);
        EXPECT_NE(step, nullptr) << stepName;
        if (step == nullptr) return {};
        ProcessRunUnit(step->ExecutableName, step->ExecutableParms, step, 0, mode, FALSE, 0);
        const Strings lines = recorder.ImportLines();
        return Strings(lines.begin() + static_cast<std::ptrdiff_t>(before), lines.end());
    }
    static Strings Starting(const Strings& lines, const std::string& prefix) {
        Strings found;
        for (const std::string& line : lines)
            if (line.rfind(prefix, 0) == 0) found.push_back(line);
        return found;
    }

    MessageRecorder recorder;
};

TEST_F(RunUnitRecordTest, EmptyProgramAndVelkorNumbers) {
    StartJob("J");
    Exec("S1", "PGM=DFSRRC00,PARM='DLI,,PSB1'", 0, 2);
    const Strings s1 = RunUnitOf("S1", kModeStandard);
    EXPECT_EQ(Starting(s1, "RU "), (Strings{"RU DFSRRC00"}));
    EXPECT_EQ(Starting(s1, "MSG JCL KVR4000 4 1452 ").size(), 1u);
    EXPECT_EQ(recorder.Ids(), (Strings{"KVR1470I", "KVR1452W"}));

    VelkorCatalog velkor;
    Exec("S2", "PGM=TOYRRC00,PARM=(DLI,PGM2)", kModeVelkor, 3);
    Exec("S3", "PGM=IVTRRC00,PARM='*DLI,PGM3'", kModeVelkor, 4);
    const Strings s2 = RunUnitOf("S2", kModeVelkor);
    EXPECT_EQ(Starting(s2, "RU "), (Strings{"RU PGM2 PSB=PGM2"}));
    const Strings msg3109 = Starting(s2, "MSG JCL VADIRADO 4 3109 ");
    ASSERT_EQ(msg3109.size(), 1u);
    EXPECT_NE(msg3109[0].find("PGM2"), std::string::npos);
    const Strings s3 = RunUnitOf("S3", kModeVelkor);
    EXPECT_EQ(Starting(s3, "RU "), (Strings{"RU IVTRRC00"}));
    EXPECT_EQ(Starting(s3, "MSG JCL VADIRADO 4 3108 ").size(), 1u);
}

} // namespace
} // namespace kvr::test
