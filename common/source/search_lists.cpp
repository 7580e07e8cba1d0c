// Search lists for cataloged procedures and INCLUDE members: the job's own libraries
// (JCLLIB ORDER, PROCLIB DD), the default list read once per run from "DD:JCLLIB", and the
// file extensions tried after the bare member name. The search opens the first match.
#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "source/source_access.h"

namespace kvr {

namespace {

std::array<LibraryList, kMaxLibraries> JobLibraries;
int JobSrchNdx = 0;
std::array<LibraryList, kMaxLibraries> DefaultLibraries;
int DefSrchNdx = 0;
void* fileExtensionList = nullptr;

// Longest line of the default-list file; the rest of a longer line is dropped.
constexpr size_t kDefaultListLine = 255;

// Reads one line of at most maxLength characters, without its line end; false at the end.
bool ReadLine(FILE* file, std::string& line, size_t maxLength) {
    line.clear();
    int c = 0;
    bool any = false;
    while ((c = std::fgetc(file)) != EOF) {
        any = true;
        if (c == '\n') break;
        if (line.size() < maxLength) line.push_back(static_cast<char>(c));
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return any;
}

const char* SkipBlankChars(const char* p) {
    while (*p == ' ')
        ++p;
    return p;
}

bool StartsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// Values that stay in force from one default-list line to the next.
struct CarriedValues {
    char rmType[kCodeField] = {};
    char rmDDName[kDDNameField] = {};
    char siteName[kNameField] = {};
};

// Reads the RM=, RMDD= and SITE= words after the container; the first other word ends them.
void ReadListedOptions(const char* p, CarriedValues& carried, int32_t debug) {
    for (;;) {
        p = SkipBlankChars(p);
        if (StartsWith(p, "RMDD=")) {
            p = GetAToken(p + 5, kDDNameField, carried.rmDDName, 1, 0, 0);
        } else if (StartsWith(p, "RM=")) {
            p = GetAToken(p + 3, kCodeField, carried.rmType, 1, 0, 0);
        } else if (StartsWith(p, "SITE=")) {
            char site[257] = {};
            p = GetAToken(p + 5, sizeof site, site, 0, 0, 1);
            char normalized[1025] = {};
            NormalizeName(site, normalized, kNameField, 0, 1, debug);
            CopyToField(carried.siteName, normalized);
        } else {
            return;
        }
    }
}

// One line of the default list; false when reading must stop.
bool ReadDefaultListLine(std::string& line, CarriedValues& carried, int16_t iProcessingMode,
                         int32_t debug) {
    const char* p = SkipBlankChars(line.c_str());
    if (*p == '\0' || *p == '*') return true;
    if (DefSrchNdx >= kMaxLibraries) {
        KVRWriteMessage(IsVelkor(iProcessingMode) ? 3022 : 1303);
        KVR_Write_MSG_Record("JCL", MsgRecordStep(iProcessingMode),
                             IsVelkor(iProcessingMode) ? 3022 : 1303);
        return false;
    }
    char container[231] = {};
    p = GetAToken(p, sizeof container, container, 0, 0, 1);
    if (container[0] == '\0') return KVRU005() <= 0;
    ReadListedOptions(p, carried, debug);

    LibraryList& entry = DefaultLibraries[DefSrchNdx++];
    char unquoted[1025] = {};
    NormalizeName(container, unquoted, 230, 0, 1, debug);
    CopyToField(entry.ListedLibName, unquoted);
    CopyToField(entry.ListedRmType, carried.rmType[0] ? carried.rmType : "NTFS");
    CopyToField(entry.ListedRmDDName, carried.rmDDName);
    CopyToField(entry.ListedSiteName, carried.siteName);
    if (debug)
        std::printf("Default search list: [%s] RM=[%s] RMDD=[%s] SITE=[%s]\n", entry.ListedLibName,
                    entry.ListedRmType, entry.ListedRmDDName, entry.ListedSiteName);
    return true;
}

// The candidates tried in each library: the name, then the name with each extension;
// candidates too long for the member field are left out.
std::vector<std::string> Candidates(const std::string& name) {
    std::vector<std::string> candidates{name};
    for (const std::string& extension : FileExtensions()) {
        std::string candidate = name + extension;
        if (candidate.size() < kNameField) candidates.push_back(std::move(candidate));
    }
    return candidates;
}

void ReportNotFound(const char* iName, SOURCE_REF iFileReference, int32_t iFileLine,
                    int16_t iProcessingMode) {
    if (IsVelkor(iProcessingMode)) {
        KVRWriteMessageWithStringsAndFileLine(3028, iName, nullptr, nullptr, nullptr, TRUE,
                                              iFileReference, iFileLine, iProcessingMode);
        KVR_Write_MSG_RecordWithString("JCL", MsgRecordStep(iProcessingMode), 3028, iName);
    } else {
        KVRWriteMessageWithStringsAndFileLine(1309, iName, nullptr, nullptr, nullptr, TRUE,
                                              iFileReference, iFileLine, iProcessingMode);
    }
}

// A library of the job's own list is named in the JCL: unless the translation table names
// its folder, it is only searched when it is a data set name, so that no JCL can point the
// search at a folder of its choosing ("/etc", "../outside").
bool MayBeSearched(const LibraryList& library, int16_t iProcessingMode) {
    char xlated[256] = {};
    char spec[512] = {};
    return XlatLibOrSeqDSN(library.ListedLibName, "", xlated, spec, iProcessingMode) ||
           IsDataSetName(library.ListedLibName);
}

} // namespace

std::span<const LibraryList> JobList() {
    return {JobLibraries.data(), size_t(JobSrchNdx)};
}

std::span<const LibraryList> DefaultList() {
    return {DefaultLibraries.data(), size_t(DefSrchNdx)};
}

void ResetJobList() {
    JobSrchNdx = 0;
}

void ResetDefaultListForTests() {
    DefSrchNdx = 0;
}

void ResetExtensionListForTests() {
    FreeList(fileExtensionList, 0);
    fileExtensionList = nullptr;
}

std::vector<std::string> FileExtensions() {
    std::vector<std::string> extensions;
    if (fileExtensionList == nullptr) return extensions;
    void* item = nullptr;
    for (int32_t found = FindFirstItem(fileExtensionList, &item); found;
         found = GetNextItem(fileExtensionList, &item))
        extensions.emplace_back(static_cast<const char*>(item));
    return extensions;
}

void SearchAndOpenMember(const char* iName, const char* iFileTypeCd, SOURCE_REF iFileReference,
                         int32_t iFileLine, int16_t iProcessingMode, int32_t debug) {
    std::string name = iName ? iName : "";
    if (name.size() >= kNameField) {
        if (IsVelkor(iProcessingMode)) {
            KVRWriteMessageWithFileLine(3027, FALSE, iFileReference, iFileLine, iProcessingMode);
            KVR_Write_MSG_Record("JCL", MsgRecordStep(iProcessingMode), 3027);
        } else {
            KVRWriteMessageWithFileLine(1308, FALSE, iFileReference, iFileLine, iProcessingMode);
        }
        return;
    }
    // A name that is no member name (empty, a path) names no member; it is reported as not
    // found without touching a library.
    if (IsMemberName(name.c_str())) {
        const std::vector<std::string> candidates = Candidates(name);
        for (std::span<const LibraryList> list : {JobList(), DefaultList()}) {
            const bool jobList = list.data() == JobList().data();
            for (const LibraryList& library : list) {
                if (jobList && !MayBeSearched(library, iProcessingMode)) continue;
                for (const std::string& candidate : candidates) {
                    OpenOutcome outcome =
                        OpenMember(library.ListedLibName, candidate.c_str(), nullptr, "JCL",
                                   iFileTypeCd, library.ListedRmType, library.ListedRmDDName,
                                   library.ListedSiteName, iProcessingMode, debug);
                    // A table limit refuses every further try alike: report it once.
                    if (outcome != OpenOutcome::NotFound) return;
                }
            }
        }
    }
    ReportNotFound(name.c_str(), iFileReference, iFileLine, iProcessingMode);
}

} // namespace kvr

using namespace kvr;

extern "C" {

KVR_API void KVR_CreateFileExtensionList(char* extList, int32_t debug) {
    if (extList == nullptr) return;
    FreeList(fileExtensionList, debug);
    fileExtensionList = nullptr;
    if (!CreateList(&fileExtensionList, debug)) return;
    char* save = nullptr;
    for (char* extension = strtok_r(extList, ",", &save); extension != nullptr;
         extension = strtok_r(nullptr, ",", &save)) {
        size_t length = std::strlen(extension);
        void* block = nullptr;
        if (!CreateBlockWithDebug(&block, length + 2, "KVR_CreateFileExtensionList", debug)) return;
        char* item = static_cast<char*>(block);
        item[0] = '.';
        std::memcpy(item + 1, extension, length + 1);
        AddItemToList(fileExtensionList, item, item, debug);
        if (debug) std::printf("File extension [%s]\n", item);
    }
}

KVR_API void LoadDefaultSearchList(int16_t iProcessingMode, int32_t debug) {
    DefSrchNdx = 0; // a second load replaces the list instead of appending to it
    char value[1025] = {};
    if (!CheckWorkstationEnvironmentVariable("DD:JCLLIB", value, debug)) return;
    char path[1025] = {};
    NormalizeName(value, path, 230, 0, 1, debug);
    FILE* file = std::fopen(path, "r");
    if (file == nullptr) {
        KVRWriteMessage(IsVelkor(iProcessingMode) ? 3021 : 1302);
        KVR_Write_MSG_Record("JCL", MsgRecordStep(iProcessingMode),
                             IsVelkor(iProcessingMode) ? 3021 : 1302);
        return;
    }
    CarriedValues carried;
    std::string line;
    while (ReadLine(file, line, kDefaultListLine))
        if (!ReadDefaultListLine(line, carried, iProcessingMode, debug)) break;
    std::fclose(file);
}

KVR_API BOOLEAN AddToJobList(const char* iContainerName, const char* iSiteName,
                             SOURCE_REF iFileReference, int32_t iFileLine,
                             int16_t iProcessingMode) {
    if (JobSrchNdx >= kMaxLibraries) {
        KVRWriteMessageWithFileLine(IsVelkor(iProcessingMode) ? 3024 : 1305, FALSE, iFileReference,
                                    iFileLine, iProcessingMode);
        return FALSE;
    }
    LibraryList& entry = JobLibraries[JobSrchNdx++];
    CopyToField(entry.ListedLibName, iContainerName);
    CopyToField(entry.ListedRmType, "NTFS");
    CopyToField(entry.ListedRmDDName, "");
    CopyToField(entry.ListedSiteName, iSiteName);
    return TRUE;
}

KVR_API void OpenCatalogedProc(const char* iName, SOURCE_REF iFileReference, int32_t iFileLine,
                               int16_t iProcessingMode, int32_t debug) {
    SearchAndOpenMember(iName, "PROC", iFileReference, iFileLine, iProcessingMode, debug);
}

KVR_API void OpenIncludedMember(const char* iName, SOURCE_REF iFileReference, int32_t iFileLine,
                                int16_t iProcessingMode, int32_t debug) {
    SearchAndOpenMember(iName, "INCL", iFileReference, iFileLine, iProcessingMode, debug);
}

} // extern "C"
