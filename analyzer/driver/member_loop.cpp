// The member loop. Each member is validated, framed by its opening and closing import
// records and analyzed; with a file list the maximum severity starts afresh for every
// member and the run ends with the highest of them.
#include "driver/member_loop.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <new>

#include <sys/stat.h>

#include "base/diagnostics.h"
#include "base/process.h"
#include "expansion/deck_processor.h"
#include "expansion/statement_dispatch.h"
#include "model/deck_records.h"
#include "output/deck_walk.h"
#include "output/member_records.h"

namespace kvr {
namespace {

constexpr size_t kFileListLineSize = 512;
constexpr size_t kTokenMax = 255;
constexpr int32_t kContainerNameMax = 230;
constexpr int32_t kFileNameMax = 254;

bool ValidateContainerFileNames(const MemberRequest& request, int16_t mode) {
    if (KVRU996(request.containerNameNoQuotes.c_str()) == 0) {
        KVRWriteMessage(MessageFor(mode, 1311, 3030));
        return false;
    }
    if (!KVRU997(request.fileNameNoQuotes.c_str())) {
        KVRWriteMessage(MessageFor(mode, 1312, 3031));
        return false;
    }
    return true;
}

// Opens the member as the first source of the referenced-source table. The names without
// quotes are used, so the INCL record quotes a container name holding a blank only once.
bool OpenMainMember(const MemberRequest& request, const RunContext& run) {
    return OpenFileWithLanguageAndType(
               request.containerNameNoQuotes.c_str(), request.fileNameNoQuotes.c_str(),
               request.localFile.c_str(), "JCL", "MAIN", request.rmType.c_str(),
               request.rmDDName.c_str(), "", run.mode, run.debug) == TRUE;
}

std::string UpperCased(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

void ApplyFileListToken(const std::string& token, MemberRequest& request, int32_t debug) {
    const std::string upper = UpperCased(token);
    if (debug) std::printf("workArg: %s\n", upper.c_str());
    if (token[0] == '-' || token[0] == '/') return;
    const size_t equals = upper.find('=');
    if (equals != std::string::npos) {
        const std::string keyword = upper.substr(0, equals);
        const std::string value = upper.substr(equals + 1);
        if (keyword == "RMDD")
            request.rmDDName = value.substr(0, 8);
        else if (keyword == "RM")
            request.rmType = value.substr(0, 4);
        return;
    }
    if (request.containerName.empty())
        request.containerName = token.substr(0, kContainerNameMax);
    else if (request.fileName.empty())
        request.fileName = token.substr(0, kFileNameMax);
    else if (request.localFile.empty())
        request.localFile = token.substr(0, kFileNameMax);
}

// A line as read by fgets: cut at its newline, a carriage return before it dropped.
std::string_view LineText(const char* buffer) {
    std::string_view line(buffer);
    const size_t newline = line.find('\n');
    if (newline != std::string_view::npos) {
        line = line.substr(0, newline);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    }
    return line;
}

// Expands the opened member into its deck, walks the deck into import records and
// releases the deck. An allocation failure that unwinds the analysis is reported here, once
// what the member held has been released; the member then ends with E and the run after it.
void AnalyzeOpenedMember(MemberContext& ctx) {
    bool outOfMemory = false;
    try {
        if (!ctx.deck.Create()) {
            reportMemoryAllocationError(ctx);
            CloseAnyRemainingFiles(ctx.run.mode, ctx.run.debug);
            return;
        }
        SetLocalTimeField(ctx);
        const BOOLEAN iRc = ProcessJclDeck(ctx);
        CloseAnyRemainingFiles(ctx.run.mode, ctx.run.debug);
        if (KVRU005() < 5) NavigateExpandedDeck(ctx, iRc);
    } catch (const std::bad_alloc&) {
        outOfMemory = true;
        CloseAnyRemainingFiles(ctx.run.mode, ctx.run.debug);
        // The expansion stopped half-way: the walks' input contexts are not owned by the
        // member, so they are dropped here.
        InitializeContextStack(ctx);
    }
    ctx.deck.Clear();
    if (outOfMemory) reportMemoryAllocationError(ctx);
    ReportIncludedFiles();
}

} // namespace

void ProcessSingleFile(RunContext& run, MemberRequest& request) {
    const int16_t mode = run.mode;
    if (mode != kModeVelkor)
        DisplayContainerFileName(request.containerName.c_str(), request.fileName.c_str(),
                                 run.debug);
    KVRU940_InitializeFields(); // the source tables of kvrbase start afresh for the member
    if (!ValidateContainerFileNames(request, mode)) return;
    if (request.rmType.empty()) request.rmType = "NTFS";

    MemberContext ctx(run);
    const MemberMarker inProgress(ctx);
    if (mode == kModeDravix || run.formatXML) {
        KVR_PutLIBR(ctx, request.containerNameNoQuotes.c_str());
        KVR_PutMEMB(ctx, request.fileNameNoQuotes.c_str());
    }
    KVR_PutSTART_JCL(ctx);
    // The opening records reach the disk now: should the run be killed while the member is
    // read, the import file shows which member it was.
    KVR_FlushImportFile();
    errno = 0;
    if (OpenMainMember(request, run)) {
        AnalyzeOpenedMember(ctx);
    } else if (KVRU940_MemberNotText()) {
        // reported by kvrbase with 1484 and its MSG record: the member is only framed
    } else if (errno == ENOMEM) {
        reportMemoryAllocationError(ctx); // no memory for the stream: not the member's fault
    } else {
        KVRWriteMessage(MessageFor(mode, 1313, 3032));
    }
    KVR_PutEND_JCL(ctx);
    if (run.formatXML) {
        KVR_PutEND_MEMB(ctx);
        KVR_PutEND_LIBR(ctx);
    }
    // The log and the import file are complete up to this member, whatever happens next.
    KVR_FlushImportFile();
    KVRFlushLogFile();
}

std::vector<std::string> TokenizeFileListLine(std::string_view line) {
    std::vector<std::string> tokens;
    size_t position = 0;
    while (position < line.size()) {
        while (position < line.size() && line[position] == ' ')
            ++position;
        if (position >= line.size()) break;
        std::string token;
        bool inQuotes = false;
        for (; position < line.size(); ++position) {
            const char c = line[position];
            if (c == ' ' && !inQuotes) break;
            if (c == '"') inQuotes = !inQuotes;
            if (token.size() < kTokenMax) token += c;
        }
        tokens.push_back(std::move(token));
    }
    return tokens;
}

bool ParseFileListLine(std::string_view line, MemberRequest& request, int32_t debug) {
    request = MemberRequest{};
    const size_t first = line.find_first_not_of(' ');
    if (first == std::string_view::npos || line[first] == '*') return false;
    for (const std::string& token : TokenizeFileListLine(line.substr(first)))
        ApplyFileListToken(token, request, debug);
    return true;
}

bool NormalizeRequestNames(MemberRequest& request, int32_t debug) {
    char normalized[1025];
    NormalizeName(request.containerName.c_str(), normalized, kContainerNameMax, 0, 1, debug);
    request.containerNameNoQuotes = normalized;
    NormalizeName(request.fileName.c_str(), normalized, kFileNameMax, 0, 1, debug);
    request.fileNameNoQuotes = normalized;
    return !request.containerNameNoQuotes.empty() && !request.fileNameNoQuotes.empty();
}

void ProcessMultipleFiles(RunContext& run) {
    FILE* fileList = KVRIOAPI_DD_fopen("DD:FILELIST", "r", run.debug);
    // A folder opens for reading but yields no line: it is no file list either.
    struct stat status {};
    if (fileList != nullptr && fstat(fileno(fileList), &status) == 0 && S_ISDIR(status.st_mode)) {
        KVRIOAPI_DD_fclose(fileList);
        fileList = nullptr;
    }
    if (fileList == nullptr) {
        KVRWriteMessageWithStrings(MessageFor(run.mode, 1680, 3101), "DD:FILELIST",
                                   nullptr, nullptr, nullptr);
        return;
    }
    int32_t maxRc = 0;
    char buffer[kFileListLineSize];
    while (std::fgets(buffer, sizeof buffer, fileList) != nullptr) {
        MemberRequest request;
        if (!ParseFileListLine(LineText(buffer), request, run.debug)) continue;
        if (!NormalizeRequestNames(request, run.debug)) continue;
        ProcessSingleFile(run, request);
        maxRc = std::max(maxRc, KVRU005());
        ResetMaximumSeverity();
        // The records of further members would be lost, or find no memory either.
        if (KVR_ImportFileFailed() || run.outOfMemory) break;
    }
    // A file list that could not be read to its end (an I/O error) leaves members out.
    if (std::ferror(fileList)) {
        KVRWriteMessageWithStrings(MessageFor(run.mode, 1680, 3101), "DD:FILELIST",
                                   nullptr, nullptr, nullptr);
        maxRc = std::max(maxRc, KVRU005());
    }
    KVRIOAPI_DD_fclose(fileList);
    SetMaximumSeverity(maxRc);
}

} // namespace kvr
