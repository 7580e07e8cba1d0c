// Feeds arbitrary bytes to the default-list and translation-table readers and to the line
// reader (with its include directives) and checks what every delivered line must satisfy:
// a terminated text within its field, a length that fits, a known source reference.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "kvrbase.h"
#include "source/source_access.h"

namespace {

std::filesystem::path Folder() {
    static const std::filesystem::path folder = [] {
        std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("kvr-source-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(path / "LIB");
        return path;
    }();
    return folder;
}

void Write(const std::filesystem::path& path, const uint8_t* data, size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size) std::fwrite(data, 1, size, file);
    std::fclose(file);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The input is three parts split at the first two 0xFF bytes: default list, translation
    // table, member (which its own include directives can open again).
    const uint8_t* parts[3] = {data, data, data};
    size_t lengths[3] = {0, 0, 0};
    size_t start = 0;
    for (int part = 0; part < 3; ++part) {
        size_t end = start;
        while (end < size && (part == 2 || data[end] != 0xFF))
            ++end;
        parts[part] = data + start;
        lengths[part] = end - start;
        start = end < size ? end + 1 : size;
    }
    const std::filesystem::path folder = Folder();
    Write(folder / "jcllib", parts[0], lengths[0]);
    Write(folder / "xlat", parts[1], lengths[1]);
    Write(folder / "LIB" / "M", parts[2], lengths[2]);
    std::string library = (folder / "LIB").string();
    ::setenv("DD:JCLLIB", (folder / "jcllib").c_str(), 1);
    ::setenv("DD:XLATLIBS", (folder / "xlat").c_str(), 1);

    ResetMaximumSeverity();
    KVRU940_InitializeFields();
    kvr::ResetDefaultListForTests();
    kvr::ResetTranslationsForTests();
    LoadDefaultSearchList(0, 0);
    LoadLibraryTranslations(0, 0);
    AddToJobList(library.c_str(), "", 0, 1, 0);
    if (!OpenFileWithLanguageAndType(library.c_str(), "M", "", "JCL", "MAIN", "NTFS", "", "", 0, 0))
        std::abort();
    SourceLine line{};
    int delivered = 0;
    while (delivered < 100000 && ReadNextLine(&line, static_cast<int16_t>(size % 3), 0)) {
        ++delivered;
        size_t text = strnlen(line.SourceText, sizeof line.SourceText);
        if (text == sizeof line.SourceText) std::abort();
        if (line.lineLength < 0 || line.lineLength > 83) std::abort();
        if (kvr::ReferencedSourceAt(line.FileReference) == nullptr) std::abort();
        if (line.fileLine < 1) std::abort();
    }
    CloseAnyRemainingFiles(0, 0);
    PrintFileTables(0);
    ReportIncludedFiles();
    return 0;
}
