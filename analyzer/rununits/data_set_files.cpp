// Data set entries read as 80-column records: the workstation file that stands for a data
// set name (through the library translation table) or the in-stream data kept with the entry.
// Both the step DD reader and the parameter-capture entry reader read entries this way.
#include "rununits/data_set_files.h"
#include "base/contexts.h"

#include <cstring>
#include <string>

#include "reader/instream_data.h"
#include "reader/jcl_statement.h"

namespace kvr {
namespace {

// Longest library or member name a file spec is built from; a longer one would be cut by
// the translation and so name some other file.
constexpr size_t kMaxNamePart = 254;

// The name without its enclosing apostrophes (a missing closing one is tolerated).
std::string WithoutApostrophes(std::string name) {
    if (name.empty() || name.front() != '\'') return name;
    name.erase(0, 1);
    const size_t close = name.find('\'');
    if (close != std::string::npos) name.erase(close);
    return name;
}

// Splits library(member); a missing ")" lets the member run to the end.
void SplitMember(const std::string& name, std::string& library, std::string& member) {
    const size_t open = name.find('(');
    library = name.substr(0, open);
    member.clear();
    if (open == std::string::npos) return;
    const size_t close = name.find(')', open + 1);
    member =
        name.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
}

} // namespace

FILE* OpenParmFile(MemberContext& ctx, const char* iDatasetName, std::string& outFileSpec) {
    const std::string name = WithoutApostrophes(iDatasetName != nullptr ? iDatasetName : "");
    if (name.empty()) {
        outFileSpec = "No DSN";
        return nullptr;
    }
    std::string library;
    std::string member;
    SplitMember(name, library, member);
    outFileSpec = name;
    if (library.size() > kMaxNamePart || member.size() > kMaxNamePart) return nullptr;
    // Only names JCL may write are opened: a member name, and a data set name unless the
    // translation table names the library's folder.
    if (!member.empty() && !IsMemberName(member.c_str())) return nullptr;
    char xlated[256] = {};
    char spec[512] = {};
    const bool translated =
        XlatLibOrSeqDSN(library.c_str(), member.c_str(), xlated, spec, ctx.run.mode);
    if (spec[0] == '\0' || (!translated && !IsDataSetName(library.c_str()))) return nullptr;
    outFileSpec = spec;
    // Opened as members are: a name that differs only in case is found, as on the
    // workstation, and only a regular file is a data set (not a folder, a FIFO, a device).
    FILE* file = nullptr;
    if (KVRIOAPI_Open("NTFS", spec, "r", &file, "", "", "") != 0) return nullptr;
    return file;
}

BOOLEAN ReadFileRecord(FILE* iFile, char* outBuffer, int32_t* outLength) {
    if (iFile == nullptr) return FALSE;
    int32_t count = 0;
    while (count <= kRecordLength) {
        int c = std::fgetc(iFile);
        if (c == EOF) break;
        if (c == '\r') {
            const int next = std::fgetc(iFile);
            if (next == '\n')
                c = '\n';
            else if (next != EOF)
                std::ungetc(next, iFile);
        }
        outBuffer[count++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    if (count == 0) return FALSE;
    if (count > kRecordLength) count = kRecordLength; // the 81st character is not kept
    outBuffer[count] = '\0';
    if (outLength != nullptr) *outLength = count;
    return TRUE;
}

BOOLEAN OpenInstreamEntry(MemberContext& ctx, DataSetEntryInput* ioEntry, RD_DatasetConcatenation* iConcat) {
    ioEntry->CurrentConcat = iConcat;
    void* copy = nullptr;
    // Reading moves the spool's current card, so a copy keeps the model's data untouched.
    if (!CopyInstreamSpool(ctx, iConcat->inStreamData.get(), &copy)) {
        reportMemoryAllocationError(ctx);
        return FALSE;
    }
    ioEntry->IsInstream = TRUE;
    ioEntry->inStreamData = copy;
    ioEntry->IsOpen = TRUE;
    ioEntry->RecordsReadCount = 0;
    return TRUE;
}

BOOLEAN OpenFileEntry(MemberContext& ctx, DataSetEntryInput* ioEntry, RD_DatasetConcatenation* iConcat,
                      std::string& outFileSpec) {
    ioEntry->CurrentConcat = iConcat;
    FILE* file = OpenParmFile(ctx, iConcat->DatasetName.get(), outFileSpec);
    if (file == nullptr) return FALSE;
    ioEntry->IsInstream = FALSE;
    ioEntry->InputFile = file;
    ioEntry->IsOpen = TRUE;
    ioEntry->RecordsReadCount = 0;
    return TRUE;
}

BOOLEAN ReadEntryRecord(DataSetEntryInput* ioEntry, char** outRecord, int32_t* outLength) {
    if (ioEntry == nullptr || !ioEntry->IsOpen) return FALSE;
    char* text = nullptr;
    int32_t length = 0;
    BOOLEAN found = FALSE;
    if (!ioEntry->IsInstream) {
        found = ReadFileRecord(ioEntry->InputFile, ioEntry->Buffer, &length);
        text = ioEntry->Buffer;
    } else if (ioEntry->RecordsReadCount == 0) {
        found = ReadFirstInstreamSpool(ioEntry->inStreamData, &text, &length);
    } else {
        found = ReadNextInstreamSpool(ioEntry->inStreamData, &text, &length);
    }
    if (!found) return FALSE;
    ++ioEntry->RecordsReadCount;
    if (outRecord != nullptr) *outRecord = text;
    if (outLength != nullptr) *outLength = length;
    return TRUE;
}

void CloseEntry(MemberContext& ctx, DataSetEntryInput* ioEntry) {
    if (ioEntry == nullptr || !ioEntry->IsOpen) return;
    if (ioEntry->IsInstream)
        DeleteInstreamSpool(ioEntry->inStreamData);
    else
        std::fclose(ioEntry->InputFile);
    ioEntry->inStreamData = nullptr;
    ioEntry->InputFile = nullptr;
    ioEntry->IsInstream = FALSE;
    ioEntry->IsOpen = FALSE;
}

} // namespace kvr
