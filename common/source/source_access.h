// Internal records and entry points shared by the source-access files: the referenced-source
// table, the search lists, the translation table, the open-member stack and the table
// reports. Each table lives in its own file; the others reach it only through these calls.
#ifndef KVR_SOURCE_SOURCE_ACCESS_H
#define KVR_SOURCE_SOURCE_ACCESS_H

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "kvrbase.h"

namespace kvr {

// Field widths in bytes, terminator included.
inline constexpr size_t kNameField = 255;
inline constexpr size_t kCodeField = 5;
inline constexpr size_t kDDNameField = 9;

inline constexpr int kMaxReferencedSources = 200;
inline constexpr int kMaxOpenMembers = 16;
inline constexpr int kMaxLibraries = 256;
inline constexpr int kMaxTranslations = 200;

// Program id that MSG records name, by run mode.
inline const char* MsgRecordStep(int16_t iProcessingMode) {
    return iProcessingMode == 2 ? "VADIRADO" : "KVR4000";
}
inline bool IsVelkor(int16_t iProcessingMode) {
    return iProcessingMode == 2;
}
inline bool IsDravix(int16_t iProcessingMode) {
    return iProcessingMode == 1;
}

// Copies at most fieldSize - 1 characters of text (null counts as empty) and terminates.
void CopyToField(char* field, size_t fieldSize, const char* text);

template <size_t N> void CopyToField(char (&field)[N], const char* text) {
    CopyToField(field, N, text);
}

// ------------------------------------------------------------ referenced sources

struct ReferencedSource {
    char containerName[kNameField];
    char xlatedContainerName[kNameField];
    char fileName[kNameField];
    char fileTypeCd[kCodeField];
    char languageCd[kCodeField];
    char rmType[kCodeField];
    char rmDDName[kDDNameField];
    char siteName[kNameField];
};

// Reuses an entry with the same container, member, repository type, DD name and site, else
// appends the candidate. Full table: message 1307 (3026) and -1.
SOURCE_REF AddReferencedSource(const ReferencedSource& candidate, int16_t iProcessingMode);
// The entry of a reference, or null when the reference names no entry.
const ReferencedSource* ReferencedSourceAt(SOURCE_REF ref);
int ReferencedSourceCount();
void ResetReferencedSources();

// ------------------------------------------------------------ search lists

struct LibraryList {
    char ListedLibName[kNameField];
    char ListedRmType[kCodeField];
    char ListedRmDDName[kDDNameField];
    char ListedSiteName[kNameField];
};

std::span<const LibraryList> JobList();
std::span<const LibraryList> DefaultList();
void ResetJobList();
// The extensions of the extension list, each with its leading period, in list order.
std::vector<std::string> FileExtensions();

// Searches a member along the job list and the default list and opens the first match on
// top of the stack; reports 1308/1309 (3027/3028) at the card position when it cannot.
void SearchAndOpenMember(const char* iName, const char* iFileTypeCd, SOURCE_REF iFileReference,
                         int32_t iFileLine, int16_t iProcessingMode, int32_t debug);

// Per-run tables, emptied again only by tests.
void ResetDefaultListForTests();
void ResetExtensionListForTests();
void ResetTranslationsForTests();
void AddTranslationForTests(const char* library, const char* folder);

// ------------------------------------------------------------ open members

// Number of members open and the reference of the one at a depth (0 is the bottom).
int OpenMemberCount();
SOURCE_REF OpenMemberSource(int depth);
// Why an open attempt failed: the member is missing or could not be opened, or a table
// limit refused it (a message has then been written).
enum class OpenOutcome { Opened, NotFound, Refused };
OpenOutcome OpenMember(const char* iContainerName, const char* iFileName, const char* iLocalFile,
                       const char* iLanguageCd, const char* iFileTypeCd, const char* iRmType,
                       const char* iRmDDName, const char* iSiteName, int16_t iProcessingMode,
                       int32_t debug);

// ------------------------------------------------------------ table reports

// The open-member report alone (heading, one line per member, closing).
void ReportOpenMembers(int16_t iProcessingMode);

} // namespace kvr

#endif
