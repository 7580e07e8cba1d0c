// Feeds arbitrary bytes to the default-list and translation-table readers and to the line
// reader (with its include directives, EBCDIC records converted) and checks what every
// delivered line must satisfy: a terminated text within its field, a length that fits, a
// known source reference.
#include <cstring>

#include "fuzz_support.h"
#include "source/source_access.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using kvr::fuzz::Require;
    // Three parts split at the first two 0xFF bytes: default list, translation table, and
    // the member (which its own include directives can open again).
    const auto parts = kvr::fuzz::SplitInput(data, size, "\xFF", 3);
    const std::filesystem::path& folder = kvr::fuzz::Folder();
    kvr::fuzz::WriteBytes(folder / "jcllib", parts[0]);
    kvr::fuzz::WriteBytes(folder / "xlat", parts[1]);
    kvr::fuzz::WriteBytes(folder / "LIB" / "M", parts[2]);
    const std::string library = (folder / "LIB").string();
    ::setenv("DD:JCLLIB", (folder / "jcllib").c_str(), 1);
    ::setenv("DD:XLATLIBS", (folder / "xlat").c_str(), 1);

    ResetMaximumSeverity();
    KVRU940_InitializeFields();
    kvr::ResetDefaultListForTests();
    kvr::ResetTranslationsForTests();
    LoadDefaultSearchList(0, 0);
    LoadLibraryTranslations(0, 0);
    AddToJobList(library.c_str(), "", 0, 1, 0);
    // The member opens unless its bytes are no text (then 1484 said so and nothing is read).
    const BOOLEAN opened =
        OpenFileWithLanguageAndType(library.c_str(), "M", "", "JCL", "MAIN", "NTFS", "", "", 0, 0);
    Require(opened || KVRU940_MemberNotText());
    SourceLine line{};
    int delivered = 0;
    while (delivered < 100000 && ReadNextLine(&line, static_cast<int16_t>(size % 3), 0)) {
        ++delivered;
        Require(strnlen(line.SourceText, sizeof line.SourceText) < sizeof line.SourceText);
        Require(line.lineLength >= 0 && line.lineLength <= 83 && line.fileLine >= 1);
        Require(kvr::ReferencedSourceAt(line.FileReference) != nullptr);
    }
    CloseAnyRemainingFiles(0, 0);
    PrintFileTables(0);
    ReportIncludedFiles();
    return 0;
}
