// The progress line: which import lines end a member, counted as the file grows.
#include "progress.h"
#include "scan_test_folder.h"

#include <gtest/gtest.h>

using kvrscan::is_member_end;

TEST(ScanProgress, MemberEndRecords) {
    for (const char* line : {"END JCL", "END JCL 0 C", "END JCL 12 E"})
        EXPECT_TRUE(is_member_end(line, false)) << line;
    for (const char* line : {"END JCLX", " END JCL", "END JOB", "END JCL\r", ""})
        EXPECT_FALSE(is_member_end(line, false)) << line;
    for (const char* line : {"</jcl>", "    </jcl>", "\t</jcl> \r"})
        EXPECT_TRUE(is_member_end(line, true)) << line;
    for (const char* line : {"</jcl><jcl>", "<jcl>", "END JCL 0 C", "  "})
        EXPECT_FALSE(is_member_end(line, true)) << line;
}

TEST(ScanProgress, CountsOnlyWholeLinesAsTheFileGrows) {
    ScratchFolder scratch;
    std::string import = scratch / "1.import";
    kvrscan::MemberEndCounter counter(import, false);
    EXPECT_EQ(counter.count(), 0u); // not written yet
    scratch.write("1.import", "INCL 0 A JOBS\nEND JCL 0 C\nEND JC");
    EXPECT_EQ(counter.count(), 1u);
    std::ofstream(import, std::ios::app) << "L 4 C\nEND JCL";
    EXPECT_EQ(counter.count(), 2u); // the last record is not ended yet
    std::ofstream(import, std::ios::app) << "X\n";
    EXPECT_EQ(counter.count(), 2u); // it was "END JCLX"
}

TEST(ScanProgress, LineText) {
    using std::chrono::milliseconds;
    EXPECT_EQ(kvrscan::progress_text(3, 10, milliseconds(1500)),
              "\rkvr-scan: 3 of 10 members, 2.0 members/s ");
    EXPECT_EQ(kvrscan::progress_text(7, 7, milliseconds(3000)),
              "\rkvr-scan: 7 of 7 members, 2.3 members/s ");
    EXPECT_EQ(kvrscan::progress_text(0, 5, milliseconds(0)),
              "\rkvr-scan: 0 of 5 members, 0.0 members/s ");
}
