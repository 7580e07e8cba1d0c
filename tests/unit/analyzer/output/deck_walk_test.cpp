// The deck walk's report of a member without a job: the message in the log and its MSG
// record in the import file, with the program id and number of the run mode.
#include <gtest/gtest.h>

#include "analyzer/statement_test_support.h"
#include "driver/run_settings.h"
#include "output/deck_walk.h"

namespace kvr {
namespace {

TEST(DeckWalk, MissingJobIsReportedInLogAndImportFile) {
    test::MessageRecorder messages;
    ReportMissingJobCard(kModeStandard);
    {
        test::VelkorCatalog velkor;
        ReportMissingJobCard(kModeVelkor);
    }
    EXPECT_EQ(messages.Ids(), (std::vector<std::string>{"KVR1375W", "VAD3073W"}));
    const std::vector<std::string> lines = messages.ImportLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind("MSG JCL KVR4000 4 1375 \"KVR1375W", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1].rfind("MSG JCL VADIRADO 4 3073 \"VAD3073W", 0), 0u) << lines[1];
    EXPECT_EQ(KVRU005(), 4);
}

} // namespace
} // namespace kvr
