// The end of a run whose memory ran out where the analysis cannot unwind: the member being
// written still gets its closing records, the XML elements left open are closed, and the
// process ends with 16 after writing everything out.
#include "driver/out_of_memory.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "analyzer/statement_test_support.h"
#include "output/member_records.h"
#include "output/record_writer.h"

namespace kvr {
namespace {

std::string FileText(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(OutOfMemoryDeathTest, TheMemberIsFramedAndTheRunEndsWithSixteen) {
    const std::string import = test::TemporaryPath("oom-import");
    test::ScopedEnv attrbout("DD:ATTRBOUT", import);
    EXPECT_EXIT(
        {
            RunSettings settings;
            settings.formatXML = TRUE;
            const RunInProgress inProgress(settings);
            KVR_SetMSG_Format(TRUE);
            KVR_OpenImportFile("w", 0);
            SetXmlDocument(true);
            KVR_PutSTART_JCL(TRUE);
            PutRecord("        <job name=\"%s\">", "J1");
            PutRecord("          <step>");
            KVR_FlushImportFile();
            EndRunOutOfMemory();
        },
        testing::ExitedWithCode(16), "");
    const std::string written = FileText(import);
    std::filesystem::remove(import);
    EXPECT_NE(written.find("<number>1450</number>"), std::string::npos) << written;
    const size_t step = written.find("          </step>\n        </job>\n");
    const size_t end = written.find("        <returnCode>16</returnCode>\n"
                                    "        <completionCode>E</completionCode>\n"
                                    "      </jcl>\n    </file>\n  </container>\n");
    EXPECT_NE(step, std::string::npos) << written;
    EXPECT_NE(end, std::string::npos) << written;
    EXPECT_LT(step, end);
}

} // namespace
} // namespace kvr
