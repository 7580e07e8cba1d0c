// The referenced-source table: one entry per member opened while analyzing a member. A
// card's FileReference indexes it, so messages can name member and line and the import file
// can list every member used (INCL records).
#include <array>
#include <cstdio>
#include <cstring>
#include <string>

#include "services/msg_records.h"
#include "source/source_access.h"

namespace kvr {

namespace {

std::array<ReferencedSource, kMaxReferencedSources> ReferencedList;
int ReferencedIndex = 0;

bool SameSource(const ReferencedSource& a, const ReferencedSource& b) {
    return std::strcmp(a.containerName, b.containerName) == 0 &&
           std::strcmp(a.fileName, b.fileName) == 0 && std::strcmp(a.rmType, b.rmType) == 0 &&
           std::strcmp(a.rmDDName, b.rmDDName) == 0 && std::strcmp(a.siteName, b.siteName) == 0;
}

// Kind written in the INCL record: 1 include member, 2 procedure, 0 the main member and
// anything unknown.
int IncludeKind(const char* fileTypeCd) {
    if (std::strcmp(fileTypeCd, "INCL") == 0) return 1;
    if (std::strcmp(fileTypeCd, "PROC") == 0) return 2;
    return 0;
}

} // namespace

void CopyToField(char* field, size_t fieldSize, const char* text) {
    if (fieldSize == 0) return;
    size_t length = text ? strnlen(text, fieldSize - 1) : 0;
    if (length) std::memcpy(field, text, length);
    field[length] = '\0';
}

SOURCE_REF AddReferencedSource(const ReferencedSource& candidate, int16_t iProcessingMode) {
    for (int i = 0; i < ReferencedIndex; ++i)
        if (SameSource(ReferencedList[i], candidate)) return i;
    if (ReferencedIndex >= kMaxReferencedSources) {
        KVRWriteMessage(IsVelkor(iProcessingMode) ? 3026 : 1307);
        return -1;
    }
    ReferencedList[ReferencedIndex] = candidate;
    return ReferencedIndex++;
}

const ReferencedSource* ReferencedSourceAt(SOURCE_REF ref) {
    if (ref < 0 || ref >= ReferencedIndex) return nullptr;
    return &ReferencedList[ref];
}

int ReferencedSourceCount() {
    return ReferencedIndex;
}

void ResetReferencedSources() {
    ReferencedIndex = 0;
}

} // namespace kvr

using namespace kvr;

extern "C" {

KVR_API BOOLEAN GetCurrentSourceReference(SOURCE_REF* RefArg) {
    int depth = OpenMemberCount();
    SOURCE_REF ref = depth > 0 ? OpenMemberSource(depth - 1) : -1;
    if (RefArg) *RefArg = ref;
    return depth > 0 ? TRUE : FALSE;
}

KVR_API int32_t QuerySourceReference(SOURCE_REF iArg, char** outContainerName, char** outFileName,
                                     char** outRmType, char** outSiteName, char** outFileTypeCd,
                                     int16_t iProcessingMode) {
    // Callers get pointers into the table; the entry stays put until the next member.
    ReferencedSource* entry = const_cast<ReferencedSource*>(ReferencedSourceAt(iArg));
    if (entry == nullptr) {
        KVRWriteMessage(IsVelkor(iProcessingMode) ? 3098 : 1413);
        return 0;
    }
    if (outContainerName) *outContainerName = entry->containerName;
    if (outFileName) *outFileName = entry->fileName;
    if (outRmType) *outRmType = entry->rmType;
    if (outSiteName) *outSiteName = entry->siteName;
    if (outFileTypeCd) *outFileTypeCd = entry->fileTypeCd;
    return 1;
}

KVR_API void ReportIncludedFiles(void) {
    for (int i = 0; i < ReferencedIndex; ++i) {
        const ReferencedSource& source = ReferencedList[i];
        bool quote = std::strchr(source.containerName, ' ') != nullptr;
        std::string record = "INCL " + std::to_string(IncludeKind(source.fileTypeCd)) + " " +
                             source.fileName + " " + (quote ? "\"" : "") + source.containerName +
                             (quote ? "\"" : "");
        // Between the XML elements the record is text of the jcl element.
        if (kvr::ImportRecordsAreXml()) record = kvr::EscapeXmlText(record);
        KVR_PutImportRecord(record.data());
    }
}

} // extern "C"
