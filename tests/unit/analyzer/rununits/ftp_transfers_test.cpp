// FTP command streams: server, user and password records, CD with absolute and relative
// operands and backslashes, double-byte characters kept whole, GET/PUT/APPEND transfers
// and their DD names, and the operand and path limits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kvrbase.h"
#include "locale/locale.h"
#include "rununits/run_units_internal.h"

namespace kvr::test {
namespace {

// Feeds the records; returns the transfers they made.
std::vector<FtpTransfer> Feed(FtpInputState& state, const std::vector<std::string>& records) {
    std::vector<FtpTransfer> transfers;
    for (const std::string& record : records) {
        FtpTransfer transfer;
        if (FtpProcessRecord(state, record.c_str(), &transfer)) transfers.push_back(transfer);
    }
    return transfers;
}

void ExpectTransfer(const FtpTransfer& t, int32_t number, const std::string& in,
                    const std::string& inServer, const std::string& out,
                    const std::string& outServer) {
    EXPECT_EQ(t.number, number);
    EXPECT_EQ(t.inputName, in) << "transfer " << number;
    EXPECT_EQ(t.inputServer, inServer) << "transfer " << number;
    EXPECT_EQ(t.outputName, out) << "transfer " << number;
    EXPECT_EQ(t.outputServer, outServer) << "transfer " << number;
}

TEST(FtpCommands, TransfersFollowTheCurrentDirectory) {
    FtpInputState state;
    const std::vector<FtpTransfer> t = Feed(state, {
                                                       "/* before the server",
                                                       "  host.example.com 21\n",
                                                       "GET NOT.A.TRANSFER X", // user
                                                       "PUT NOR.THIS Y",       // password
                                                       "cd /u/data\n",
                                                       "GET file1.txt 'HLQ.FILE1'\n",
                                                       "/* GET skipped.txt 'NOT.COUNTED'",
                                                       "put 'HLQ.OUT' out.txt",
                                                       "CD sub",
                                                       "Append x.y z\n",
                                                       "CD \\w\\v",
                                                       "CD u\\t s",
                                                       "GET f",
                                                       "DELETE f",
                                                       "GETTING a b",
                                                   });
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(state.server, "host.example.com");
    EXPECT_EQ(state.recordCount, 13);
    ExpectTransfer(t[0], 1, "/u/data/file1.txt", "host.example.com", "HLQ.FILE1", "");
    ExpectTransfer(t[1], 2, "HLQ.OUT", "", "/u/data/out.txt", "host.example.com");
    ExpectTransfer(t[2], 3, "x.y", "", "/u/data/sub/z", "host.example.com");
    // Backslashes become slashes; a relative operand goes below the current path.
    ExpectTransfer(t[3], 4, "/w/v/u/t/f", "host.example.com", "", "");

    // Without a CD the remote name is the file alone; a relative CD first gives "/x".
    FtpInputState fresh;
    const std::vector<FtpTransfer> u =
        Feed(fresh, {"h", "u", "p", "PUT a b", "CD x", "GET c d", "CD /", "GET e f"});
    ASSERT_EQ(u.size(), 3u);
    EXPECT_EQ(u[0].outputName, "b");
    EXPECT_EQ(u[1].inputName, "/x/c");
    EXPECT_EQ(u[2].inputName, "//e");
}

TEST(FtpCommands, DoubleByteCharactersAreKeptWhole) {
    ResetLocaleForTests();
    KVRDBCS_SetEnvironment(nullptr, "MS932");
    FtpInputState state;
    // 0x95 0x5C is one Shift-JIS character whose second byte is a backslash.
    Feed(state, {"h", "u", "p", "CD \\a\x95\x5C\\b\n"});
    EXPECT_EQ(state.path, "/a\x95\x5C/b");
    // A lead byte right before the end of the operand stands alone.
    Feed(state, {"CD /c\x95\n"});
    EXPECT_EQ(state.path, "/c\x95");
    // A character that would cross the path limit is left out whole.
    Feed(state, {"CD /" + std::string(kFtpPathMax - 2, 'p') + "\x95\x5C" + "q"});
    EXPECT_EQ(state.path, "/" + std::string(kFtpPathMax - 2, 'p'));

    // Without a double-byte code page the same bytes are single characters.
    ResetLocaleForTests();
    Feed(state, {"CD \\a\x95\x5C\\b"});
    EXPECT_EQ(state.path, "/a\x95//b");
}

TEST(FtpCommands, OperandsAndNamesAreKeptToTheirLimits) {
    FtpInputState state;
    const std::string longWord(600, 'w');
    const std::vector<FtpTransfer> t =
        Feed(state, {std::string(300, 's'), "u", "p", "CD /" + longWord, "CD more",
                     "GET " + longWord + " " + longWord + "x"});
    EXPECT_EQ(state.server, std::string(kFtpServerMax, 's'));
    EXPECT_EQ(state.path, "/" + std::string(kFtpPathMax - 1, 'w'));
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].inputName, state.path + "/" + std::string(kFtpOperandMax, 'w'));
    EXPECT_EQ(t[0].outputName, std::string(kFtpOperandMax, 'w'));

    // Paths of more than 56 characters: "..." and the last 53.
    const std::string path56(56, 'a');
    EXPECT_EQ(PathNameForDD(path56), path56);
    const std::string path57 = "b" + path56;
    EXPECT_EQ(PathNameForDD(path57), "..." + std::string(53, 'a'));
    EXPECT_EQ(PathNameForDD(""), "");

    // Past 999 transfers the number in the DD name grows.
    FtpInputState many;
    std::vector<std::string> records = {"h", "u", "p"};
    records.insert(records.end(), 1000, "GET a b");
    const std::vector<FtpTransfer> all = Feed(many, records);
    ASSERT_EQ(all.size(), 1000u);
    EXPECT_EQ(FtpTransferDDName(all.front().number, 'I'), "FTP001_I");
    EXPECT_EQ(FtpTransferDDName(all[98].number, 'O'), "FTP099_O");
    EXPECT_EQ(FtpTransferDDName(all.back().number, 'I'), "FTP1000_I");
}

} // namespace
} // namespace kvr::test
