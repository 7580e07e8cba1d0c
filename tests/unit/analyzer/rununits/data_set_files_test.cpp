// The cutting of a workstation file's lines into 80-character records. The file of a data
// set name in whole runs: ru_tso_systsin_dataset, capture_dataset_file.
#include "analyzer/rununits/rununits_fixture.h"
#include "rununits/data_set_files.h"

namespace kvr {
namespace {

using test::RunUnitsTest;

TEST_F(RunUnitsTest, LinesCutIntoRecords) {
    const std::string a80(80, 'A');
    const std::string b79(79, 'B');
    const std::string path = FileWith("r.txt", a80 + "9\n" +         // 81: the 81st dropped
                                                   a80 + "9REST\n" + // rest is a record
                                                   b79 + "\r\n" +    // 79 + line end = 80
                                                   "\r\r\n" +        // a lone CR is kept
                                                   "END");
    FILE* file = std::fopen(path.c_str(), "r");
    ASSERT_NE(file, nullptr);
    std::vector<std::string> records;
    char buffer[kRecordLength + 2] = {};
    int32_t length = 0;
    while (ReadFileRecord(file, buffer, &length)) {
        EXPECT_EQ(length, static_cast<int32_t>(std::strlen(buffer)));
        records.emplace_back(buffer);
    }
    std::fclose(file);
    EXPECT_EQ(records,
              (std::vector<std::string>{a80, "\n", a80, "REST\n", b79 + "\n", "\r\n", "END"}));
}

} // namespace
} // namespace kvr
