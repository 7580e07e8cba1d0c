// Fuzz target for the deck expansion of one member: the input is split at lines "~~~" into
// the member, a cataloged procedure FPROC and an INCLUDE member FINC, written into a
// temporary container found through the default search list, and expanded the way the
// member loop does it (resets, open, ProcessJclDeck, close, releases). Every block taken
// for the member must have been returned afterwards.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "driver/member_loop.h"
#include "expansion/deck_processor.h"
#include "expansion/statement_dispatch.h"
#include "expansion/statement_lists.h"
#include "kvrbase.h"
#include "model/deck_records.h"

namespace {

using namespace kvr;

const std::filesystem::path& RootPath() {
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("kvr_deck_fuzz_" + std::to_string(::getpid()));
    return path;
}

void RemoveRoot() {
    std::error_code ignored;
    std::filesystem::remove_all(RootPath(), ignored);
}

std::filesystem::path Root() {
    static const std::filesystem::path root = [] {
        const std::filesystem::path& path = RootPath();
        std::atexit(RemoveRoot);
        std::filesystem::create_directories(path / "JOBS");
        std::filesystem::create_directories(path / "PROCS");
        std::ofstream(path / "jcllib.txt") << (path / "PROCS").string() << "\n";
        ::setenv("DD:JCLLIB", (path / "jcllib.txt").string().c_str(), 1);
        ::setenv("DD:RDPRINT", "/dev/null", 1);
        ::unsetenv("DD:ATTRBOUT");
        ::unsetenv("DD:XLATLIBS");
        // Library names relative to the current folder stay inside the temporary area.
        std::filesystem::current_path(path);
        KVROpenLogFile(FALSE, 0);
        LoadDefaultSearchList(0, 0);
        return path;
    }();
    return root;
}

// A "/" beyond the first two columns of a line becomes "*": names in the input can then
// never be paths, so the expansion only ever opens members of the temporary container.
std::string Confined(std::string_view text) {
    std::string out(text);
    size_t column = 0;
    for (char& c : out) {
        if (c == '\n') {
            column = 0;
            continue;
        }
        if (c == '/' && column >= 2) c = '*';
        ++column;
    }
    return out;
}

void WriteMember(const std::filesystem::path& file, std::string_view text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    const std::string confined = Confined(text);
    out.write(confined.data(), static_cast<std::streamsize>(confined.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::filesystem::path root = Root();
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view parts[3];
    for (int part = 0; part < 3; ++part) {
        const size_t separator = input.find("\n~~~\n");
        parts[part] = input.substr(0, separator);
        input =
            separator == std::string_view::npos ? std::string_view() : input.substr(separator + 5);
    }
    WriteMember(root / "JOBS" / "MEM", parts[0]);
    WriteMember(root / "PROCS" / "FPROC", parts[1]);
    WriteMember(root / "PROCS" / "FINC", parts[2]);

    int32_t createdBefore = 0;
    int32_t freedBefore = 0;
    QueryBlockStatistics(&createdBefore, &freedBefore);
    InitializeFields(0);
    ResetMaximumSeverity();
    const std::string jobs = (root / "JOBS").string();
    void* deck = nullptr;
    if (OpenFileWithLanguageAndType(jobs.c_str(), "MEM", "", "JCL", "MAIN", "NTFS", "", "", 0, 0) &&
        CreateList(&deck, 0)) {
        SetLocalTimeField();
        ProcessJclDeck(deck, FALSE, "", "JES2", 0, FALSE, 0);
    }
    CloseAnyRemainingFiles(0, 0);
    FreeIncludeList(0);
    FreeProcedureList(0);
    Free_arrayJclDeck(deck, 0);
    int32_t createdAfter = 0;
    int32_t freedAfter = 0;
    QueryBlockStatistics(&createdAfter, &freedAfter);
    if (createdAfter - createdBefore != freedAfter - freedBefore) std::abort();
    return 0;
}
