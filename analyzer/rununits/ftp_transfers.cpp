// FTP steps (program ZOKFTP): the commands in the step's INPUT DD name a server, then
// change directories and move files. Each GET, PUT or APPEND becomes a pair of DD records,
// FTPnnn_I for where the data come from and FTPnnn_O for where they go, so that the
// remote files show up as data sets of the step.
#include <cstdio>
#include <cstring>
#include <string>

#include "base/contexts.h"
#include "reader/statement_list.h"
#include "rununits/run_units_internal.h"
#include "rununits/step_dd_reader.h"

namespace kvr {
namespace {

bool EndsWord(char ch) {
    return ch == '\0' || ch == ' ' || ch == '\n' || ch == '\r';
}

void SkipBlanks(const char*& ioScan) {
    while (*ioScan == ' ')
        ++ioScan;
}

// The next word after blanks, kept to iMax characters; the scan moves past all of it.
std::string NextWord(const char*& ioScan, size_t iMax) {
    SkipBlanks(ioScan);
    std::string word;
    for (; !EndsWord(*ioScan); ++ioScan)
        if (word.size() < iMax) word.push_back(*ioScan);
    return word;
}

std::string UpperCase(std::string iText) {
    for (char& ch : iText)
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    return iText;
}

// CD: an operand starting with "\" or "/" starts from the root, any other goes below the
// current path. "\" becomes "/", but never inside a double-byte character, whose second
// byte may well be a backslash; such a character is kept whole or not at all.
void ChangeDirectory(FtpInputState& state, const char* iScan) {
    SkipBlanks(iScan);
    std::string& path = state.path;
    if (*iScan == '\\' || *iScan == '/')
        path.clear();
    else if (path.size() < kFtpPathMax)
        path.push_back('/');
    bool full = false;
    while (!EndsWord(*iScan)) {
        // A lead byte before the end of the word has no second byte: a byte of its own.
        const bool pair = KVRDBCS_IsDBCS(nullptr, iScan, nullptr) != 0 && !EndsWord(iScan[1]);
        const size_t width = pair ? 2 : 1;
        full = full || path.size() + width > kFtpPathMax;
        if (!full) {
            if (width == 2)
                path.append(iScan, 2);
            else
                path.push_back(*iScan == '\\' ? '/' : *iScan);
        }
        iScan += width;
    }
}

std::string WithoutApostrophes(std::string iName) {
    return StripApostrophes(iName.data());
}

} // namespace

bool FtpProcessRecord(FtpInputState& state, const char* iRecord, FtpTransfer* outTransfer) {
    const char* scan = iRecord != nullptr ? iRecord : "";
    if (scan[0] == '/' && scan[1] == '*') return false;
    ++state.recordCount;
    if (state.recordCount == 1) {
        state.server = NextWord(scan, kFtpServerMax);
        return false;
    }
    if (state.recordCount <= 3) return false; // user and password

    const std::string action = UpperCase(NextWord(scan, kFtpActionMax));
    if (action == "CD") {
        ChangeDirectory(state, scan);
        return false;
    }
    if (action != "GET" && action != "PUT" && action != "APPEND") return false;

    ++state.transferCount;
    const std::string file1 = NextWord(scan, kFtpOperandMax);
    const std::string file2 = NextWord(scan, kFtpOperandMax);
    std::string remote = state.path;
    if (!remote.empty()) remote.push_back('/');
    remote += action == "GET" ? file1 : file2;

    FtpTransfer transfer;
    transfer.number = state.transferCount;
    if (action == "GET") {
        transfer.inputName = remote;
        transfer.inputServer = state.server;
        transfer.outputName = WithoutApostrophes(file2);
    } else {
        transfer.inputName = WithoutApostrophes(file1);
        transfer.outputName = remote;
        transfer.outputServer = state.server;
    }
    if (outTransfer != nullptr) *outTransfer = transfer;
    return true;
}

std::string FtpTransferDDName(int32_t iNumber, char iSide) {
    char name[32];
    std::snprintf(name, sizeof name, "FTP%03d_%c", static_cast<int>(iNumber), iSide);
    return name;
}

std::string PathNameForDD(const std::string& iPathName) {
    if (iPathName.size() <= kDDPathMax) return iPathName;
    return "..." + iPathName.substr(iPathName.size() - (kDDPathMax - 3));
}

bool IsFtpProgram(const char* iExecName) {
    return iExecName != nullptr && std::strcmp(iExecName, "ZOKFTP") == 0;
}

int16_t ForEachFtpTransfer(MemberContext& ctx, RD_JobStep* Step,
                           const std::function<void(const FtpTransfer&)>& visit) {
    RD_DD_IO_Control* handle = nullptr;
    const int16_t result =
        OpenStepDD(ctx, Step, "INPUT", &handle, Step->FileReference, Step->fileLine, FALSE);
    switch (result) {
    case kStepDDInstream:
    case kStepDDFile: {
        FtpInputState state;
        FtpTransfer transfer;
        char* record = nullptr;
        while (ReadStepDD(ctx, handle, &record, Step->FileReference, Step->fileLine))
            if (FtpProcessRecord(state, record, &transfer)) visit(transfer);
        CloseStepDD(ctx, handle);
        break;
    }
    case kStepDDOpenFailed:
    case kStepDDNoDatasetName:
    case kStepDDTemporary:
        CloseStepDD(ctx, handle);
        break;
    default: // no handle was made
        break;
    }
    return result;
}

} // namespace kvr
