// The stack of open members and line reading: a member is opened through the repository
// interface and pushed; ReadNextLine delivers the lines of the top member, pops it at its
// end and follows the include directives of source managers ("++INCLUDE ", "-INC").
#include <array>
#include <cstdio>
#include <cstring>
#include <string>

#include "source/ebcdic_members.h"
#include "source/member_content.h"
#include "source/source_access.h"

namespace kvr {

namespace {

struct OpenedFiles {
    FILE* pFile;
    int32_t linesRead;
    int16_t logicalEOF;
    SOURCE_REF SourceIndex;
    int32_t validLinesRead;
    int64_t bytesRead;
};

// The most of a member that is read: JCL members are a few kilobytes, so a member past
// this is no JCL (a data set or an archive in the wrong place) and reading it would only
// fill memory with statements.
constexpr int64_t kMaxMemberBytes = 16 * 1024 * 1024;

std::array<OpenedFiles, kMaxOpenMembers> OpenFileList;
int OpenFileListIndex = 0;
// The last open attempt found a member that holds no text (1484 written).
bool LastMemberNotText = false;

// Text of a line: 81 characters; the read buffer also holds the line feed and terminator.
constexpr size_t kLineText = 81;
constexpr size_t kRecordBuffer = kLineText + 2;

const char* Text(const char* value) {
    return value ? value : "";
}

const ReferencedSource& SourceOf(const OpenedFiles& member) {
    static const ReferencedSource kNone{};
    const ReferencedSource* source = ReferencedSourceAt(member.SourceIndex);
    return source ? *source : kNone;
}

void CloseStream(FILE* stream, const ReferencedSource& source, int16_t iProcessingMode,
                 int32_t debug) {
    if (stream == nullptr) return;
    if (IsDravix(iProcessingMode))
        KVRIOAPI_v2_Close(source.rmType, stream, source.rmDDName, source.xlatedContainerName,
                          source.fileName, debug);
    else
        KVRIOAPI_Close(source.rmType, stream, source.rmDDName, source.xlatedContainerName,
                       source.fileName);
}

void CloseTopMember(int16_t iProcessingMode, int32_t debug) {
    OpenedFiles& top = OpenFileList[OpenFileListIndex - 1];
    CloseStream(top.pFile, SourceOf(top), iProcessingMode, debug);
    top = OpenedFiles{};
    --OpenFileListIndex;
}

// Reads one record of the top member into buffer; false at its end or on a read error.
// Returns the line length: the position of the last non-zero byte without a final line
// feed. A line longer than 81 characters is cut there and its rest is left for the next
// record.
bool ReadRecord(OpenedFiles& member, char (&buffer)[kRecordBuffer], size_t& length,
                int16_t iProcessingMode, int32_t debug) {
    const ReferencedSource& source = SourceOf(member);
    std::memset(buffer, 0, sizeof buffer);
    int32_t rc =
        IsDravix(iProcessingMode)
            ? KVRIOAPI_v2_GetRecord(source.rmType, buffer, sizeof buffer, member.pFile,
                                    source.rmDDName, source.xlatedContainerName, source.fileName,
                                    debug)
            : KVRIOAPI_GetRecord(source.rmType, buffer, sizeof buffer, member.pFile,
                                 source.rmDDName, source.xlatedContainerName, source.fileName);
    if (rc != 0) return false;
    length = sizeof buffer - 1;
    while (length > 0 && buffer[length - 1] == '\0')
        --length;
    if (length == kLineText + 1 && buffer[kLineText] != '\n') {
        // 82 characters without a line feed: the 82nd begins the next record. A carriage
        // return there belongs to the line end when a line feed follows.
        int extra = static_cast<unsigned char>(buffer[kLineText]);
        buffer[kLineText] = '\0';
        if (extra == '\r') {
            int next = std::fgetc(member.pFile);
            if (next != '\n' && next != EOF) std::ungetc(next, member.pFile);
        } else {
            std::ungetc(extra, member.pFile);
        }
        length = kLineText;
        while (length > 0 && buffer[length - 1] == '\0')
            --length;
        return true;
    }
    if (length > 0 && buffer[length - 1] == '\n') {
        buffer[--length] = '\0';
        if (length > 0 && buffer[length - 1] == '\r') buffer[--length] = '\0';
    }
    return true;
}

// The member named by an include directive, or empty when the line holds none.
std::string IncludeDirectiveMember(const char* text, size_t length) {
    const char* rest = nullptr;
    if (length > 17 && std::strncmp(text + 7, "++INCLUDE ", 10) == 0)
        rest = text + 17;
    else if (std::strncmp(text, "-INC", 4) == 0)
        rest = text + 4;
    else
        return {};
    while (*rest == ' ')
        ++rest;
    size_t word = std::strcspn(rest, " ");
    std::string name(rest, word);
    if (!name.empty() && name.back() == '.') name.pop_back();
    return name;
}

bool IsIncludeDirective(const char* text, size_t length) {
    return (length > 17 && std::strncmp(text + 7, "++INCLUDE ", 10) == 0) ||
           std::strncmp(text, "-INC", 4) == 0;
}

void TraceTopMember(const OpenedFiles& member) {
    const ReferencedSource& source = SourceOf(member);
    std::printf("ReadNextLine: rmType [%s] rmDDName [%s] container [%s] translated [%s] "
                "member [%s]\n",
                source.rmType, source.rmDDName, source.containerName, source.xlatedContainerName,
                source.fileName);
}

// Reading stops at the size limit: message 1691 (3123) with its MSG record.
void ReportMemberTooLarge(const OpenedFiles& member, int16_t iProcessingMode) {
    const uint32_t number = IsVelkor(iProcessingMode) ? 3123 : 1691;
    const std::string limit = std::to_string(kMaxMemberBytes);
    KVRWriteMessageWithStrings(number, SourceOf(member).fileName, limit.c_str(), nullptr, nullptr);
    KVR_Write_MSG_RecordWithStrings("JCL", MsgRecordStep(iProcessingMode),
                                    static_cast<int32_t>(number), SourceOf(member).fileName,
                                    limit.c_str(), nullptr, nullptr);
}

// A member that is no text: message 1484 with its MSG record, in every mode.
void ReportNotText(const char* member, const std::string& what, int16_t iProcessingMode) {
    constexpr uint32_t kNotText = 1484;
    KVRWriteMessageWithStrings(kNotText, member, what.c_str(), nullptr, nullptr);
    KVR_Write_MSG_RecordWithStrings("JCL", MsgRecordStep(iProcessingMode),
                                    static_cast<int32_t>(kNotText), member, what.c_str(), nullptr,
                                    nullptr);
}

// Makes stream the member's text: a text member is read as it is, an EBCDIC member through
// its converted records. False when the member holds no text; what then says what it is.
bool OpenAsText(FILE*& stream, const ReferencedSource& source, int16_t iProcessingMode,
                int32_t debug, std::string& what) {
    MemberContent content = ClassifyMember(stream, kMaxMemberBytes);
    if (content.kind == MemberKind::Text) return true;
    FILE* converted = nullptr;
    if (content.kind == MemberKind::EbcdicText) {
        if (debug) std::printf("  EBCDIC member, code page %s\n", KVR_GetEbcdicCodePage());
        converted = OpenEbcdicAsText(content.bytes, content.what);
    }
    CloseStream(stream, source, iProcessingMode, debug);
    stream = converted;
    what = content.what;
    return stream != nullptr;
}

bool ExistsAndOpen(const char* rmType, const char* fullName, const char* rmDDName,
                   const char* container, const char* member, int16_t iProcessingMode,
                   int32_t debug, FILE** stream) {
    if (IsDravix(iProcessingMode)) {
        if (KVRIOAPI_v2_CheckIfMemberExists(rmType, rmDDName, container, member, debug) != 0)
            return false;
        return KVRIOAPI_v2_Open(rmType, fullName, "r", stream, rmDDName, container, member,
                                debug) == 0 &&
               *stream != nullptr;
    }
    if (KVRIOAPI_CheckIfMemberExists(rmType, fullName, rmDDName, container, member) != 0)
        return false;
    return KVRIOAPI_Open(rmType, fullName, "r", stream, rmDDName, container, member) == 0 &&
           *stream != nullptr;
}

} // namespace

int OpenMemberCount() {
    return OpenFileListIndex;
}

SOURCE_REF OpenMemberSource(int depth) {
    if (depth < 0 || depth >= OpenFileListIndex) return -1;
    return OpenFileList[depth].SourceIndex;
}

OpenOutcome OpenMember(const char* iContainerName, const char* iFileName, const char* iLocalFile,
                       const char* iLanguageCd, const char* iFileTypeCd, const char* iRmType,
                       const char* iRmDDName, const char* iSiteName, int16_t iProcessingMode,
                       int32_t debug) {
    if (debug)
        std::printf("OpenFileWithLanguageAndType: container [%s] member [%s] local [%s] "
                    "language [%s] type [%s] rmType [%s] rmDDName [%s] site [%s]\n",
                    Text(iContainerName), Text(iFileName), Text(iLocalFile), Text(iLanguageCd),
                    Text(iFileTypeCd), Text(iRmType), Text(iRmDDName), Text(iSiteName));
    LastMemberNotText = false;
    if (OpenFileListIndex >= kMaxOpenMembers) {
        ReportOpenMembers(iProcessingMode);
        KVRWriteMessage(IsVelkor(iProcessingMode) ? 3025 : 1306);
        return OpenOutcome::Refused;
    }

    char fileSpec[512] = {};
    char xlated[256] = {};
    if (iLocalFile != nullptr && *iLocalFile != '\0') {
        CopyToField(fileSpec, iLocalFile);
    } else {
        if (!FileSpec(Text(iContainerName), Text(iFileName), fileSpec, iProcessingMode))
            return OpenOutcome::NotFound;
        XlatLibOrSeqDSN(Text(iContainerName), Text(iFileName), xlated, fileSpec, iProcessingMode);
    }
    if (debug) std::printf("  translated container [%s] file [%s]\n", xlated, fileSpec);

    FILE* stream = nullptr;
    if (!ExistsAndOpen(Text(iRmType), fileSpec, Text(iRmDDName), xlated, Text(iFileName),
                       iProcessingMode, debug, &stream))
        return OpenOutcome::NotFound;

    ReferencedSource candidate{};
    CopyToField(candidate.containerName, iContainerName);
    CopyToField(candidate.xlatedContainerName, xlated);
    CopyToField(candidate.fileName, iFileName);
    CopyToField(candidate.fileTypeCd, iFileTypeCd);
    CopyToField(candidate.languageCd, iLanguageCd);
    CopyToField(candidate.rmType, iRmType);
    CopyToField(candidate.rmDDName, iRmDDName);
    CopyToField(candidate.siteName, iSiteName);
    std::string notText;
    if (!OpenAsText(stream, candidate, iProcessingMode, debug, notText)) {
        ReportNotText(Text(iFileName), notText, iProcessingMode);
        LastMemberNotText = true;
        return OpenOutcome::Refused;
    }
    SOURCE_REF ref = AddReferencedSource(candidate, iProcessingMode);
    if (ref < 0) {
        CloseStream(stream, candidate, iProcessingMode, debug);
        return OpenOutcome::Refused;
    }
    OpenFileList[OpenFileListIndex++] = OpenedFiles{stream, 0, 0, ref, 0, 0};
    return OpenOutcome::Opened;
}

} // namespace kvr

using namespace kvr;

extern "C" {

KVR_API void KVRU940_InitializeFields(void) {
    // A member left open by an interrupted analysis is closed, not leaked.
    while (OpenFileListIndex > 0)
        CloseTopMember(0, 0);
    ResetJobList();
    ResetReferencedSources();
}

KVR_API BOOLEAN OpenFileWithLanguageAndType(const char* iContainerName, const char* iFileName,
                                            const char* iLocalFile, const char* iLanguageCd,
                                            const char* iFileTypeCd, const char* iRmType,
                                            const char* iRmDDName, const char* iSiteName,
                                            int16_t iProcessingMode, int32_t debug) {
    return OpenMember(iContainerName, iFileName, iLocalFile, iLanguageCd, iFileTypeCd, iRmType,
                      iRmDDName, iSiteName, iProcessingMode, debug) == OpenOutcome::Opened
               ? TRUE
               : FALSE;
}

KVR_API BOOLEAN ReadNextLine(SourceLine* SourceBuffer, int16_t iProcessingMode, int32_t debug) {
    return ReadNextLineAbove(SourceBuffer, 0, iProcessingMode, debug);
}

KVR_API BOOLEAN ReadNextLineAbove(SourceLine* SourceBuffer, int32_t iKeptMembers,
                                  int16_t iProcessingMode, int32_t debug) {
    if (SourceBuffer == nullptr) return FALSE;
    if (iKeptMembers < 0) iKeptMembers = 0;
    while (OpenFileListIndex > iKeptMembers) {
        OpenedFiles& member = OpenFileList[OpenFileListIndex - 1];
        if (debug) TraceTopMember(member);
        char record[kRecordBuffer];
        size_t length = 0;
        std::memset(SourceBuffer->SourceText, 0, sizeof SourceBuffer->SourceText);
        if (member.logicalEOF == 1 || !ReadRecord(member, record, length, iProcessingMode, debug)) {
            CloseTopMember(iProcessingMode, debug);
            continue;
        }
        ++member.linesRead;
        member.bytesRead += static_cast<int64_t>(length) + 1;
        if (member.bytesRead > kMaxMemberBytes) {
            ReportMemberTooLarge(member, iProcessingMode);
            CloseTopMember(iProcessingMode, debug);
            return FALSE;
        }
        if (debug && length != std::strlen(record))
            std::printf("ReadNextLine: line %d contains embedded zero bytes\n",
                        static_cast<int>(member.linesRead));
        if (length == 0 && member.validLinesRead == 0) continue; // leading empty line
        ++member.validLinesRead;

        std::memcpy(SourceBuffer->SourceText, record, length);
        SourceBuffer->FileReference = member.SourceIndex;
        SourceBuffer->fileLine = member.linesRead;
        SourceBuffer->lineLength = static_cast<int32_t>(length);
        if (IsVelkor(iProcessingMode)) {
            std::strcat(SourceBuffer->SourceText, "  ");
            SourceBuffer->lineLength = static_cast<int32_t>(std::strlen(SourceBuffer->SourceText));
        }

        if (IsIncludeDirective(record, length)) {
            std::string name = IncludeDirectiveMember(record, length);
            SearchAndOpenMember(name.c_str(), "INCL", member.SourceIndex, member.linesRead,
                                iProcessingMode, debug);
            if (KVRU005() > 4) return FALSE;
            continue;
        }
        return TRUE;
    }
    return FALSE;
}

KVR_API BOOLEAN KVRU940_MemberNotText(void) {
    return LastMemberNotText ? TRUE : FALSE;
}

KVR_API int32_t KVRU940_OpenMemberCount(void) {
    return OpenMemberCount();
}

KVR_API void KVRU940_ResetJobSearchOrder(void) {
    ResetJobList();
}

KVR_API const char* KVRU940_JobSearchOrderKey(void) {
    static std::string key;
    key.clear();
    for (const LibraryList& library : JobList()) {
        for (const char* field : {library.ListedLibName, library.ListedRmType,
                                  library.ListedRmDDName, library.ListedSiteName}) {
            key += field;
            key += '\t';
        }
        key += '\n';
    }
    return key.c_str();
}

KVR_API void KVRU940_SetLogicalEOF(void) {
    if (OpenFileListIndex > 0) OpenFileList[OpenFileListIndex - 1].logicalEOF = 1;
}

KVR_API void CloseAnyRemainingFiles(int16_t iProcessingMode, int32_t debug) {
    while (OpenFileListIndex > 0)
        CloseTopMember(iProcessingMode, debug);
}

} // extern "C"
