// The library translation table: mainframe library names mapped to workstation folders,
// read once per run from "DD:XLATLIBS" and applied when a member's file spec is built.
#include <array>
#include <cstdio>
#include <cstring>
#include <string>

#include "source/source_access.h"

namespace kvr {

namespace {

struct LibraryTranslation {
    char InLibName[kNameField];
    char OutLibName[kNameField];
};

std::array<LibraryTranslation, kMaxTranslations> LibXlatList;
int LibXlatNdx = 0;

// trim() refuses texts of 512 characters or more; such a name is too long anyway.
constexpr size_t kTrimLimit = 512;

bool ReadWholeLine(FILE* file, std::string& line) {
    line.clear();
    int c = 0;
    bool any = false;
    while ((c = std::fgetc(file)) != EOF) {
        any = true;
        if (c == '\n') break;
        line.push_back(static_cast<char>(c));
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return any;
}

// The next name of a line: a name in double quotes runs to the closing quote and keeps
// both; any other runs to the next blank. pos moves past it.
std::string NextName(const std::string& line, size_t& pos) {
    while (pos < line.size() && line[pos] == ' ')
        ++pos;
    if (pos >= line.size()) return {};
    size_t start = pos;
    if (line[pos] == '"') {
        size_t close = line.find('"', pos + 1);
        pos = close == std::string::npos ? line.size() : close + 1;
    } else {
        size_t blank = line.find(' ', pos);
        pos = blank == std::string::npos ? line.size() : blank;
    }
    return line.substr(start, pos - start);
}

void TrimName(std::string& name) {
    if (name.size() >= kTrimLimit) return;
    std::string trimmed = trim(name.data());
    name.swap(trimmed);
}

void ReportLongName(const std::string& name, int16_t iProcessingMode) {
    uint32_t number = IsVelkor(iProcessingMode) ? 3023 : 1304;
    KVRWriteMessageWithStrings(number, name.c_str(), nullptr, nullptr, nullptr);
    KVR_Write_MSG_RecordWithString("JCL", MsgRecordStep(iProcessingMode), number, name.c_str());
}

// One line of the table; false when reading must stop.
bool ReadTranslationLine(const std::string& line, int16_t iProcessingMode, int32_t debug) {
    size_t pos = 0;
    std::string library = NextName(line, pos);
    std::string workstation = NextName(line, pos);
    TrimName(library);
    TrimName(workstation);
    if (library.empty() || workstation.empty()) return KVRU005() <= 0;
    if (LibXlatNdx >= kMaxTranslations) {
        KVRWriteMessageWithStrings(2400, "200", nullptr, nullptr, nullptr);
        return false;
    }
    for (const std::string* name : {&library, &workstation}) {
        if (name->size() >= kNameField) {
            ReportLongName(*name, iProcessingMode);
            return true;
        }
    }
    LibraryTranslation& entry = LibXlatList[LibXlatNdx++];
    CopyToField(entry.InLibName, library.c_str());
    CopyToField(entry.OutLibName, workstation.c_str());
    if (debug) std::printf("Translation [%s] -> [%s]\n", entry.InLibName, entry.OutLibName);
    return true;
}

void CopyOut(char* out, size_t size, const char* text) {
    if (out) CopyToField(out, size, text);
}

} // namespace

void ResetTranslationsForTests() {
    LibXlatNdx = 0;
}

void AddTranslationForTests(const char* library, const char* folder) {
    if (LibXlatNdx >= kMaxTranslations) return;
    LibraryTranslation& entry = LibXlatList[LibXlatNdx++];
    CopyToField(entry.InLibName, library);
    CopyToField(entry.OutLibName, folder);
}

} // namespace kvr

using namespace kvr;

extern "C" {

KVR_API void LoadLibraryTranslations(int16_t iProcessingMode, int32_t debug) {
    char value[1025] = {};
    if (!CheckWorkstationEnvironmentVariable("DD:XLATLIBS", value, debug)) return;
    char path[1025] = {};
    NormalizeName(value, path, 230, 0, 1, debug);
    FILE* file = std::fopen(path, "r");
    if (file == nullptr) return;
    KVRWriteMessageWithStrings(IsVelkor(iProcessingMode) ? 3010 : 1101, "(XLATLIBS DD)", nullptr,
                               nullptr, nullptr);
    std::string line;
    while (ReadWholeLine(file, line))
        if (!ReadTranslationLine(line, iProcessingMode, debug)) break;
    std::fclose(file);
}

KVR_API BOOLEAN XlatLibOrSeqDSN(const char* iContainerName, const char* iFileName,
                                char* outXlatedContainerName, char* outFileSpecText,
                                int16_t iProcessingMode) {
    const char* container = iContainerName ? iContainerName : "";
    bool withMember = iFileName != nullptr && *iFileName != '\0';
    char spec[512] = {};
    for (int i = 0; i < LibXlatNdx; ++i) {
        const LibraryTranslation& entry = LibXlatList[i];
        if (std::strcmp(entry.InLibName, container) != 0) continue;
        CopyOut(outXlatedContainerName, 256, entry.OutLibName);
        if (!withMember) {
            CopyOut(outFileSpecText, 512, entry.OutLibName);
            return TRUE;
        }
        if (FileSpec(entry.OutLibName, iFileName, spec, iProcessingMode)) {
            CopyOut(outFileSpecText, 512, spec);
            return TRUE;
        }
    }
    CopyOut(outXlatedContainerName, 256, container);
    if (!withMember)
        CopyOut(outFileSpecText, 512, container);
    else if (FileSpec(container, iFileName, spec, iProcessingMode))
        CopyOut(outFileSpecText, 512, spec);
    else
        CopyOut(outFileSpecText, 512, "");
    return FALSE;
}

} // extern "C"
