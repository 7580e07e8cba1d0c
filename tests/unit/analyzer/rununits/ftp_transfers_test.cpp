// FTP command streams: double-byte characters kept whole in CD operands and in the path
// limit. Servers, users, CD, GET/PUT/APPEND transfers and the path limit in whole runs:
// ftp_get_put, ftp_paths, ftp_long_path.
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

} // namespace
} // namespace kvr::test
