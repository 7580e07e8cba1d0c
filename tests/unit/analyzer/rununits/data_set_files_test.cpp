// The workstation file of a data set name (apostrophes, library(member), translation table)
// and the cutting of its lines into 80-character records.
#include "analyzer/rununits/rununits_fixture.h"
#include "rununits/data_set_files.h"

namespace kvr {
namespace {

using test::RunUnitsTest;

// The first record of the file a data set name opens, or "!" and what could not be opened.
std::string FirstRecord(MemberContext& ctx, const std::string& dsn) {
    std::string spec;
    FILE* file = OpenParmFile(ctx, dsn.c_str(), spec);
    if (file == nullptr) return "!" + spec;
    char buffer[kRecordLength + 2] = {};
    const BOOLEAN read = ReadFileRecord(file, buffer, nullptr);
    std::fclose(file);
    return read ? buffer : "";
}

TEST_F(RunUnitsTest, DataSetNamesToWorkstationFiles) {
    const std::string lib = Container("lib", {{"MEM", "MEMBER\n"}});
    const std::string seq = FileWith("seq.txt", "SEQUENTIAL\n");
    const std::string table = FileWith("xlat.txt", "A.B.C " + lib + "\nSEQ.DS " + seq + "\n");
    xlatlibs_.Set(table);
    LoadLibraryTranslations(0, 0);

    EXPECT_EQ(FirstRecord(Ctx(), "'A.B.C(MEM)'"), "MEMBER\n");
    EXPECT_EQ(FirstRecord(Ctx(), "'A.B.C(MEM"), "MEMBER\n"); // closing ")" and apostrophe missing
    EXPECT_EQ(FirstRecord(Ctx(), "'SEQ.DS'"), "SEQUENTIAL\n");
    // JCL names no paths: an untranslated name is a file only when it is a data set name,
    // and a member only when it is a member name.
    EXPECT_EQ(FirstRecord(Ctx(), seq), "!" + seq);
    EXPECT_EQ(FirstRecord(Ctx(), "A.B.C(../seq.txt)"), "!A.B.C(../seq.txt)");
    EXPECT_EQ(FirstRecord(Ctx(), "NO.SUCH.DATA"), "!NO.SUCH.DATA"); // a name in the current folder
    EXPECT_EQ(FirstRecord(Ctx(), "A.B.C(NOMEM)"), "!" + lib + "/NOMEM");
    EXPECT_EQ(FirstRecord(Ctx(), "A.B.C"), "!" + lib); // the library itself is a folder
    // Too long for a file spec: not opened (a cut name could open some other file).
    const std::string longName = seq + std::string(300, 'x');
    EXPECT_EQ(FirstRecord(Ctx(), longName), "!" + longName);
}

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
